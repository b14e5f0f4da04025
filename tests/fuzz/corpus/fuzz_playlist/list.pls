[playlist]
File1=http://a.example/live
Title1=One
NumberOfEntries=1
