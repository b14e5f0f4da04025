<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AddStationDialog</name>
    <message>
        <source>Add a Station</source>
        <translation>Sender hinzufügen</translation>
    </message>
    <message>
        <source>Edit Station</source>
        <translation>Sender bearbeiten</translation>
    </message>
    <message>
        <source>https://… of a stream or a playlist</source>
        <translation>https://… eines Streams oder einer Wiedergabeliste</translation>
    </message>
    <message>
        <source>jazz, news, …</source>
        <translation>Jazz, Nachrichten, …</translation>
    </message>
    <message>
        <source>two letters, such as DE</source>
        <translation>zwei Buchstaben, etwa DE</translation>
    </message>
    <message>
        <source>https://… of a picture</source>
        <translation>https://… eines Bildes</translation>
    </message>
    <message>
        <source>&amp;Address</source>
        <translation>&amp;Adresse</translation>
    </message>
    <message>
        <source>&amp;Name</source>
        <translation>&amp;Name</translation>
    </message>
    <message>
        <source>&amp;Tags</source>
        <translation>&amp;Schlagwörter</translation>
    </message>
    <message>
        <source>&amp;Home page</source>
        <translation>&amp;Webseite</translation>
    </message>
    <message>
        <source>&amp;Country</source>
        <translation>&amp;Land</translation>
    </message>
    <message>
        <source>&amp;Icon</source>
        <translation>&amp;Bild</translation>
    </message>
    <message>
        <source>C&amp;heck Address</source>
        <translation>Adresse &amp;prüfen</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Sichern</translation>
    </message>
    <message>
        <source>Checking the address…</source>
        <translation>Die Adresse wird geprüft …</translation>
    </message>
    <message>
        <source>The station plays. Change what you like, then add it.</source>
        <translation>Der Sender spielt. Ändern Sie, was Sie möchten, dann fügen Sie ihn hinzu.</translation>
    </message>
    <message>
        <source>The playlist leads to %1, which plays. Change what you like, then add it.</source>
        <translation>Die Wiedergabeliste führt zu %1, das spielt. Ändern Sie, was Sie möchten, dann fügen Sie ihn hinzu.</translation>
    </message>
    <message>
        <source>This address is among the favourites already.</source>
        <translation>Diese Adresse ist schon unter den Favoriten.</translation>
    </message>
</context>
<context>
    <name>AppDelegate</name>
    <message>
        <source>Cloud sync</source>
        <translation>Cloud-Abgleich</translation>
    </message>
    <message>
        <source>The desktop keyring did not answer (%1), so Ostrel Radio cannot read your cloud password.
Enter it to sync during this session; it is not saved.</source>
        <translation>Der Schlüsselbund des Desktops hat nicht geantwortet (%1), daher kann Ostrel Radio Ihr Cloud-Passwort nicht lesen.
Geben Sie es ein, um in dieser Sitzung abzugleichen; es wird nicht gespeichert.</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>Open Ostrel Radio</source>
        <translation>Ostrel Radio öffnen</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Abspielen</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>History</source>
        <translation>Verlauf</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>Aufnehmen</translation>
    </message>
</context>
<context>
    <name>AudioDevice</name>
    <message>
        <source>🔒 Device is used in exclusive mode.</source>
        <translation>🔒 Das Gerät wird exklusiv benutzt.</translation>
    </message>
    <message>
        <source>Device is currently used and can&apos;t be set for exclusive mode.</source>
        <translation>Das Gerät wird gerade benutzt und kann nicht exklusiv belegt werden.</translation>
    </message>
    <message>
        <source>Failed to set exclusive mode for device.</source>
        <translation>Das Gerät konnte nicht exklusiv belegt werden.</translation>
    </message>
    <message>
        <source>Failed to set exclusive mode. Device is set by another application.</source>
        <translation>Exklusive Belegung fehlgeschlagen. Ein anderes Programm belegt das Gerät.</translation>
    </message>
</context>
<context>
    <name>Autostart</name>
    <message>
        <source>Could not remove %1.</source>
        <translation>%1 konnte nicht entfernt werden.</translation>
    </message>
    <message>
        <source>Could not write %1: %2</source>
        <translation>%1 konnte nicht geschrieben werden: %2</translation>
    </message>
</context>
<context>
    <name>CloudAccount</name>
    <message>
        <source>The address must start with https://: plain http would send the password unprotected to %1.</source>
        <translation>Die Adresse muss mit https:// beginnen: Über einfaches http ginge das Passwort ungeschützt an %1.</translation>
    </message>
    <message>
        <source>The address must start with https://.</source>
        <translation>Die Adresse muss mit https:// beginnen.</translation>
    </message>
</context>
<context>
    <name>CloudSettingsPage</name>
    <message>
        <source>Keep favourites and recent stations the same on all your machines, through your own Nextcloud, ownCloud or WebDAV storage.</source>
        <translation>Favoriten und zuletzt gehörte Sender auf allen Ihren Rechnern gleich halten, über Ihren eigenen Nextcloud-, ownCloud- oder WebDAV-Speicher.</translation>
    </message>
    <message>
        <source>Server address</source>
        <translation>Serveradresse</translation>
    </message>
    <message>
        <source>User name</source>
        <translation>Benutzername</translation>
    </message>
    <message>
        <source>App password</source>
        <translation>App-Passwort</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>User</source>
        <translation>Benutzer</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <source>Log in with Nextcloud…</source>
        <translation>Mit Nextcloud anmelden …</translation>
    </message>
    <message>
        <source>Log in through your browser: Nextcloud gives Ostrel Radio an app password</source>
        <translation>Im Browser anmelden: Nextcloud gibt Ostrel Radio ein App-Passwort</translation>
    </message>
    <message>
        <source>Test connection</source>
        <translation>Verbindung prüfen</translation>
    </message>
    <message>
        <source>Turn on</source>
        <translation>Einschalten</translation>
    </message>
    <message>
        <source>Turn off</source>
        <translation>Ausschalten</translation>
    </message>
    <message>
        <source>Cloud sync status</source>
        <translation>Status des Cloud-Abgleichs</translation>
    </message>
    <message>
        <source>Testing…</source>
        <translation>Wird geprüft …</translation>
    </message>
    <message>
        <source>The server works for sync.</source>
        <translation>Der Server eignet sich für den Abgleich.</translation>
    </message>
    <message>
        <source>Opening the Nextcloud login in your browser…</source>
        <translation>Die Nextcloud-Anmeldung wird im Browser geöffnet …</translation>
    </message>
    <message>
        <source>Log in and grant access in your browser; Ostrel Radio waits for it.</source>
        <translation>Melden Sie sich im Browser an und erlauben Sie den Zugriff; Ostrel Radio wartet darauf.</translation>
    </message>
    <message>
        <source>Sync is off.</source>
        <translation>Der Abgleich ist aus.</translation>
    </message>
    <message>
        <source>Checking the account…</source>
        <translation>Das Konto wird geprüft …</translation>
    </message>
    <message>
        <source>Sync is on. Your lists are shared from the next change, and taken over from the cloud at the next start.</source>
        <translation>Der Abgleich ist an. Ihre Listen werden ab der nächsten Änderung geteilt und beim nächsten Start aus der Cloud übernommen.</translation>
    </message>
    <message>
        <source> The keyring did not keep the password: you will be asked for it.</source>
        <translation> Der Schlüsselbund hat das Passwort nicht behalten: Sie werden danach gefragt.</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Sync is on.</source>
        <translation>Der Abgleich ist an.</translation>
    </message>
</context>
<context>
    <name>CloudSetup</name>
    <message>
        <source>The password could not be stored in the keyring: %1</source>
        <translation>Das Passwort konnte nicht im Schlüsselbund gespeichert werden: %1</translation>
    </message>
    <message>
        <source>Give the address of a WebDAV folder or Nextcloud server (https) and a user name.</source>
        <translation>Geben Sie die Adresse eines WebDAV-Ordners oder Nextcloud-Servers (https) und einen Benutzernamen an.</translation>
    </message>
    <message>
        <source>Cloud sync is not set up: %1</source>
        <translation>Der Cloud-Abgleich ist nicht eingerichtet: %1</translation>
    </message>
    <message>
        <source>Give the password on the first line of the standard input.</source>
        <translation>Geben Sie das Passwort in der ersten Zeile der Standardeingabe an.</translation>
    </message>
    <message>
        <source>Warning: %1</source>
        <translation>Warnung: %1</translation>
    </message>
    <message>
        <source>Cloud sync is on, with the folder %1</source>
        <translation>Der Cloud-Abgleich ist an, mit dem Ordner %1</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Ostrel Radio: internet radio from the system tray.</source>
        <translation>Ostrel Radio: Internetradio aus dem Systembereich.</translation>
    </message>
    <message>
        <source>Show this help and exit.</source>
        <translation>Diese Hilfe zeigen und beenden.</translation>
    </message>
    <message>
        <source>Show the version and exit.</source>
        <translation>Die Version zeigen und beenden.</translation>
    </message>
    <message>
        <source>Use this directory server for this run: a host name, or an http:// or https:// address with a port.</source>
        <translation>Diesen Verzeichnisserver für diesen Lauf verwenden: ein Hostname oder eine http://- oder https://-Adresse mit Port.</translation>
    </message>
    <message>
        <source>Ask this host or address for the list of directory servers.</source>
        <translation>Diesen Host oder diese Adresse nach der Liste der Verzeichnisserver fragen.</translation>
    </message>
    <message>
        <source>Open the player (also in a running Ostrel Radio).</source>
        <translation>Den Player öffnen (auch in einem laufenden Ostrel Radio).</translation>
    </message>
    <message>
        <source>Quit the running Ostrel Radio.</source>
        <translation>Das laufende Ostrel Radio beenden.</translation>
    </message>
    <message>
        <source>Print what the running Ostrel Radio shows (station, title, status line) as JSON.</source>
        <translation>Ausgeben, was das laufende Ostrel Radio zeigt (Sender, Titel, Statuszeile), als JSON.</translation>
    </message>
    <message>
        <source>Start quietly in the tray, as at login.</source>
        <translation>Still im Systembereich starten, wie bei der Anmeldung.</translation>
    </message>
    <message>
        <source>Set up cloud sync with the WebDAV folder or Nextcloud server at URL for the user named after it; the password is read from standard input. Then exit.</source>
        <translation>Den Cloud-Abgleich mit dem WebDAV-Ordner oder Nextcloud-Server unter URL für den danach genannten Benutzer einrichten; das Passwort wird von der Standardeingabe gelesen. Dann beenden.</translation>
    </message>
    <message>
        <source>The cloud user, with --configure-cloud.</source>
        <translation>Der Cloud-Benutzer, mit --configure-cloud.</translation>
    </message>
    <message>
        <source>
Try &apos;--help&apos; for the list of options.</source>
        <translation>
&apos;--help&apos; zeigt die Liste der Optionen.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is neither a host name nor an http:// or https:// address.</source>
        <translation>&apos;%1&apos; ist weder ein Hostname noch eine http://- oder https://-Adresse.</translation>
    </message>
    <message>
        <source>--configure-cloud takes a server address and a user name: ostrel-radio --configure-cloud URL USER</source>
        <translation>--configure-cloud braucht eine Serveradresse und einen Benutzernamen: ostrel-radio --configure-cloud URL USER</translation>
    </message>
    <message>
        <source>Unexpected argument &apos;%1&apos;.
Try &apos;--help&apos; for the list of options.</source>
        <translation>Unerwartetes Argument &apos;%1&apos;.
&apos;--help&apos; zeigt die Liste der Optionen.</translation>
    </message>
    <message>
        <source>Add the stream or playlist at URL to the favourites as a station of your own.</source>
        <translation>Den Stream oder die Wiedergabeliste unter URL als eigenen Sender zu den Favoriten hinzufügen.</translation>
    </message>
    <message>
        <source>The name of the station added with --add-station.</source>
        <translation>Der Name des mit --add-station hinzugefügten Senders.</translation>
    </message>
    <message>
        <source>Add the stations of an M3U, PLS or XSPF playlist file to the favourites.</source>
        <translation>Die Sender einer M3U-, PLS- oder XSPF-Wiedergabeliste zu den Favoriten hinzufügen.</translation>
    </message>
    <message>
        <source>Write the favourites to FILE as an M3U (.m3u, .m3u8) or PLS (.pls) playlist.</source>
        <translation>Die Favoriten als M3U- (.m3u, .m3u8) oder PLS-Wiedergabeliste (.pls) in FILE schreiben.</translation>
    </message>
    <message>
        <source>--add-station, --import and --export go one at a time.</source>
        <translation>--add-station, --import und --export gehen nur einzeln.</translation>
    </message>
    <message>
        <source>--name goes with --add-station.</source>
        <translation>--name gehört zu --add-station.</translation>
    </message>
    <message>
        <source>--export writes .m3u, .m3u8 or .pls files; &apos;%1&apos; is none of them.</source>
        <translation>--export schreibt .m3u-, .m3u8- oder .pls-Dateien; „%1“ ist nichts davon.</translation>
    </message>
    <message>
        <source>Play STATION: a favourite&apos;s or recent station&apos;s name (the first that matches, case and accents aside), a station identifier, or the http:// or https:// address of a stream or playlist (played once, not added to a list). Without STATION, play the loaded station.</source>
        <translation>STATION spielen: den Namen eines Favoriten oder zuletzt gehörten Senders (der erste passende, ohne Rücksicht auf Groß- und Kleinschreibung und Akzente), eine Senderkennung oder die http://- oder https://-Adresse eines Streams oder einer Playlist (einmal gespielt, keiner Liste hinzugefügt). Ohne STATION den geladenen Sender spielen.</translation>
    </message>
    <message>
        <source>Stop playing.</source>
        <translation>Die Wiedergabe anhalten.</translation>
    </message>
    <message>
        <source>Play the loaded station, or stop it.</source>
        <translation>Den geladenen Sender spielen oder anhalten.</translation>
    </message>
    <message>
        <source>Play the next favourite (after the last, the first).</source>
        <translation>Den nächsten Favoriten spielen (nach dem letzten den ersten).</translation>
    </message>
    <message>
        <source>Play the previous favourite (before the first, the last).</source>
        <translation>Den vorigen Favoriten spielen (vor dem ersten den letzten).</translation>
    </message>
    <message>
        <source>Set the volume to N (0 to 100), or change it by +N or -N.</source>
        <translation>Die Lautstärke auf N setzen (0 bis 100) oder um +N oder -N ändern.</translation>
    </message>
    <message>
        <source>The station to play, with --play.</source>
        <translation>Der Sender, der mit --play gespielt wird.</translation>
    </message>
    <message>
        <source>%1 cannot go together: give one at a time.</source>
        <translation>%1 gehen nicht zusammen: bitte nur eines auf einmal.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is no volume: give a number from 0 to 100, or +N or -N to change it.</source>
        <translation>„%1“ ist keine Lautstärke: eine Zahl von 0 bis 100 angeben, oder +N oder -N, um sie zu ändern.</translation>
    </message>
    <message>
        <source>Ostrel Radio could not be started.</source>
        <translation>Ostrel Radio konnte nicht gestartet werden.</translation>
    </message>
    <message>
        <source>Ostrel Radio did not start in time.</source>
        <translation>Ostrel Radio ist nicht rechtzeitig gestartet.</translation>
    </message>
    <message>
        <source>Print the songs heard last, newest first, as lines &quot;time, station, title&quot;: 20, or the number given after it (--history 50).</source>
        <translation>Die zuletzt gehörten Titel ausgeben, die neuesten zuerst, als Zeilen „Zeit, Sender, Titel“: 20 oder die dahinter angegebene Zahl (--history 50).</translation>
    </message>
    <message>
        <source>--history takes one number of songs, 1 or more: ostrel-radio --history 20</source>
        <translation>--history nimmt eine Anzahl Titel, 1 oder mehr: ostrel-radio --history 20</translation>
    </message>
    <message>
        <source>Record the station playing into your music folder, or stop recording; &quot;--record start&quot; and &quot;--record stop&quot; say which.</source>
        <translation>Den laufenden Sender in den Musikordner aufnehmen oder die Aufnahme beenden; „--record start“ und „--record stop“ sagen, was davon.</translation>
    </message>
    <message>
        <source>--record takes start or stop, or nothing to switch recording on or off.</source>
        <translation>--record nimmt start oder stop, oder nichts, um die Aufnahme ein- oder auszuschalten.</translation>
    </message>
</context>
<context>
    <name>CountriesView</name>
    <message>
        <source>Countries</source>
        <translation>Länder</translation>
    </message>
    <message>
        <source>Search Countries</source>
        <translation>Länder suchen</translation>
    </message>
    <message>
        <source>Search countries by name or code</source>
        <translation>Länder nach Name oder Kürzel suchen</translation>
    </message>
    <message>
        <source>Country list</source>
        <translation>Länderliste</translation>
    </message>
    <message>
        <source>My Region</source>
        <translation>Meine Region</translation>
    </message>
    <message>
        <source>Choose the country of my region</source>
        <translation>Das Land meiner Region wählen</translation>
    </message>
    <message>
        <source>Choose the country of your region</source>
        <translation>Das Land Ihrer Region wählen</translation>
    </message>
    <message>
        <source>Everywhere</source>
        <translation>Überall</translation>
    </message>
    <message>
        <source>Search the stations of every country</source>
        <translation>Die Sender aller Länder durchsuchen</translation>
    </message>
    <message>
        <source>Search the whole directory, by name, tags, language and more</source>
        <translation>Das ganze Verzeichnis durchsuchen, nach Name, Schlagwörtern, Sprache und mehr</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>Auswählen</translation>
    </message>
    <message>
        <source>Choose the selected country</source>
        <translation>Das ausgewählte Land nehmen</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Aktualisieren</translation>
    </message>
</context>
<context>
    <name>CountryListModel</name>
    <message numerus="yes">
        <source>%n station(s)</source>
        <translation>
            <numerusform>%n Sender</numerusform>
            <numerusform>%n Sender</numerusform>
        </translation>
    </message>
    <message>
        <source>Country</source>
        <translation>Land</translation>
    </message>
    <message>
        <source>Code</source>
        <translation>Kürzel</translation>
    </message>
    <message>
        <source>Stations</source>
        <translation>Sender</translation>
    </message>
</context>
<context>
    <name>DirectoryJson</name>
    <message>
        <source>The reply is not valid JSON (%1)</source>
        <translation>Die Antwort ist kein gültiges JSON (%1)</translation>
    </message>
    <message>
        <source>The reply is not a list of stations</source>
        <translation>Die Antwort ist keine Senderliste</translation>
    </message>
    <message>
        <source>The reply is not a list of servers</source>
        <translation>Die Antwort ist keine Serverliste</translation>
    </message>
    <message>
        <source>The reply is not a list of countries</source>
        <translation>Die Antwort ist keine Länderliste</translation>
    </message>
</context>
<context>
    <name>GeneralSettingsPage</name>
    <message>
        <source>Start at login</source>
        <translation>Bei der Anmeldung starten</translation>
    </message>
    <message>
        <source>Ostrel Radio starts quietly in the tray when you log in</source>
        <translation>Ostrel Radio startet bei der Anmeldung still im Systembereich</translation>
    </message>
    <message>
        <source>Notify on new title</source>
        <translation>Bei neuem Titel benachrichtigen</translation>
    </message>
    <message>
        <source>A desktop notification each time the song or show changes</source>
        <translation>Eine Desktop-Benachrichtigung bei jedem neuen Lied oder jeder neuen Sendung</translation>
    </message>
    <message>
        <source>Sleep timer</source>
        <translation>Schlummerfunktion</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>%1 minutes</source>
        <translation>%1 Minuten</translation>
    </message>
    <message>
        <source>Split recordings at each new title</source>
        <translation>Aufnahmen bei jedem neuen Titel teilen</translation>
    </message>
    <message>
        <source>Each song or show gets a file of its own, named after its title</source>
        <translation>Jedes Lied und jede Sendung bekommt eine eigene Datei, nach ihrem Titel benannt</translation>
    </message>
</context>
<context>
    <name>GstMediaPlayer</name>
    <message>
        <source>Stream not available</source>
        <translation>Stream nicht verfügbar</translation>
    </message>
    <message>
        <source>Access to the stream refused</source>
        <translation>Zugriff auf den Stream verweigert</translation>
    </message>
    <message>
        <source>Not an audio stream</source>
        <translation>Kein Audiostream</translation>
    </message>
    <message>
        <source>Missing plug-in for this format</source>
        <translation>Für dieses Format fehlt ein Plug-in</translation>
    </message>
    <message>
        <source>Stream format not readable</source>
        <translation>Streamformat nicht lesbar</translation>
    </message>
    <message>
        <source>Stream did not answer</source>
        <translation>Der Stream hat nicht geantwortet</translation>
    </message>
    <message>
        <source>Audio output not available</source>
        <translation>Audioausgabe nicht verfügbar</translation>
    </message>
    <message>
        <source>Playback not available</source>
        <translation>Wiedergabe nicht verfügbar</translation>
    </message>
    <message>
        <source>Stream cannot be played</source>
        <translation>Stream kann nicht abgespielt werden</translation>
    </message>
    <message>
        <source>Not a web address</source>
        <translation>Keine Webadresse</translation>
    </message>
</context>
<context>
    <name>HistoryCommand</name>
    <message>
        <source>The song history cannot be read (%1).</source>
        <translation>Der Titelverlauf kann nicht gelesen werden (%1).</translation>
    </message>
</context>
<context>
    <name>HistoryPage</name>
    <message>
        <source>Filter songs</source>
        <translation>Titel filtern</translation>
    </message>
    <message>
        <source>Starred only</source>
        <translation>Nur markierte</translation>
    </message>
    <message>
        <source>Songs heard</source>
        <translation>Gehörte Titel</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Copy the song&apos;s title</source>
        <translation>Den Titel kopieren</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Search the web for the song</source>
        <translation>Im Web nach dem Titel suchen</translation>
    </message>
    <message>
        <source>Play station</source>
        <translation>Sender spielen</translation>
    </message>
    <message>
        <source>Play the song&apos;s station again</source>
        <translation>Den Sender des Titels wieder spielen</translation>
    </message>
    <message>
        <source>Star</source>
        <translation>Markieren</translation>
    </message>
    <message>
        <source>Starred songs are kept however many others come</source>
        <translation>Markierte Titel bleiben, wie viele andere auch dazukommen</translation>
    </message>
    <message>
        <source>Star the song</source>
        <translation>Den Titel markieren</translation>
    </message>
    <message>
        <source>Export starred</source>
        <translation>Markierte exportieren</translation>
    </message>
    <message>
        <source>Export starred songs</source>
        <translation>Markierte Titel exportieren</translation>
    </message>
    <message>
        <source>As text…</source>
        <translation>Als Text…</translation>
    </message>
    <message>
        <source>As CSV…</source>
        <translation>Als CSV…</translation>
    </message>
    <message>
        <source>Clear history…</source>
        <translation>Verlauf löschen…</translation>
    </message>
    <message>
        <source>Starred</source>
        <translation>Markiert</translation>
    </message>
    <message>
        <source>Clear history</source>
        <translation>Verlauf löschen</translation>
    </message>
    <message>
        <source>Forget every song heard? Starred songs are kept.</source>
        <translation>Alle gehörten Titel vergessen? Markierte Titel bleiben erhalten.</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>CSV-Dateien (*.csv)</translation>
    </message>
    <message>
        <source>Text files (*.txt)</source>
        <translation>Textdateien (*.txt)</translation>
    </message>
    <message numerus="yes">
        <source>Exported %n starred song(s).</source>
        <translation>
            <numerusform>%n markierter Titel exportiert.</numerusform>
            <numerusform>%n markierte Titel exportiert.</numerusform>
        </translation>
    </message>
    <message>
        <source>Could not write %1: %2</source>
        <translation>%1 konnte nicht geschrieben werden: %2</translation>
    </message>
</context>
<context>
    <name>HttpTransport</name>
    <message>
        <source>The server did not answer within %1 seconds</source>
        <translation>Der Server hat nicht innerhalb von %1 Sekunden geantwortet</translation>
    </message>
    <message>
        <source>The server took longer than %1 seconds to answer</source>
        <translation>Der Server brauchte länger als %1 Sekunden für die Antwort</translation>
    </message>
    <message>
        <source>The reply is larger than %1 MiB</source>
        <translation>Die Antwort ist größer als %1 MiB</translation>
    </message>
    <message>
        <source>The server answered HTTP %1%2</source>
        <translation>Der Server antwortete mit HTTP %1%2</translation>
    </message>
</context>
<context>
    <name>ListCommands</name>
    <message>
        <source>The player could not read the stations.</source>
        <translation>Der Player konnte die Sender nicht lesen.</translation>
    </message>
    <message>
        <source>The running player did not answer.</source>
        <translation>Der laufende Player hat nicht geantwortet.</translation>
    </message>
    <message numerus="yes">
        <source>Wrote %n favourite(s) to %1.</source>
        <translation>
            <numerusform>%n Favorit nach %1 geschrieben.</numerusform>
            <numerusform>%n Favoriten nach %1 geschrieben.</numerusform>
        </translation>
    </message>
    <message>
        <source>This address is among the favourites already.</source>
        <translation>Diese Adresse ist schon unter den Favoriten.</translation>
    </message>
    <message>
        <source>Added &quot;%1&quot; to the favourites.</source>
        <translation>„%1“ wurde zu den Favoriten hinzugefügt.</translation>
    </message>
</context>
<context>
    <name>NextcloudLoginFlow</name>
    <message>
        <source>The login was not completed in the browser in time.</source>
        <translation>Die Anmeldung im Browser wurde nicht rechtzeitig abgeschlossen.</translation>
    </message>
    <message>
        <source>The server address must start with https://.</source>
        <translation>Die Serveradresse muss mit https:// beginnen.</translation>
    </message>
    <message>
        <source>The server does not offer a Nextcloud login (%1).</source>
        <translation>Der Server bietet keine Nextcloud-Anmeldung an (%1).</translation>
    </message>
    <message>
        <source>The server&apos;s login answer is not usable.</source>
        <translation>Die Anmeldeantwort des Servers ist nicht verwendbar.</translation>
    </message>
    <message>
        <source>The server refused the login (HTTP %1).</source>
        <translation>Der Server hat die Anmeldung abgelehnt (HTTP %1).</translation>
    </message>
</context>
<context>
    <name>NowPlayingLine</name>
    <message>
        <source>Reconnecting… next try in %1 s</source>
        <translation>Neu verbinden … nächster Versuch in %1 s</translation>
    </message>
    <message>
        <source>Reconnecting…</source>
        <translation>Neu verbinden …</translation>
    </message>
    <message>
        <source>Live Broadcast</source>
        <translation>Livesendung</translation>
    </message>
</context>
<context>
    <name>OutputPicker</name>
    <message>
        <source>Sound output</source>
        <translation>Tonausgabe</translation>
    </message>
    <message>
        <source>Exclusive use</source>
        <translation>Exklusiv nutzen</translation>
    </message>
    <message>
        <source>Use the output device exclusively</source>
        <translation>Das Ausgabegerät exklusiv nutzen</translation>
    </message>
    <message>
        <source>Keep other programs off this device</source>
        <translation>Andere Programme von diesem Gerät fernhalten</translation>
    </message>
    <message>
        <source>Output</source>
        <translation>Ausgabe</translation>
    </message>
    <message>
        <source>System default</source>
        <translation>Systemvorgabe</translation>
    </message>
</context>
<context>
    <name>OwnStations</name>
    <message>
        <source>The station needs a name.</source>
        <translation>Der Sender braucht einen Namen.</translation>
    </message>
    <message>
        <source>Only http:// and https:// addresses can be added.</source>
        <translation>Nur http://- und https://-Adressen können hinzugefügt werden.</translation>
    </message>
    <message>
        <source>The home page must be an http:// or https:// address.</source>
        <translation>Die Webseite muss eine http://- oder https://-Adresse sein.</translation>
    </message>
    <message>
        <source>The icon must be an http:// or https:// address.</source>
        <translation>Das Bild muss eine http://- oder https://-Adresse sein.</translation>
    </message>
    <message>
        <source>The country is a code of two letters, such as DE or US.</source>
        <translation>Das Land ist ein Kürzel aus zwei Buchstaben, etwa DE oder US.</translation>
    </message>
    <message>
        <source>The favourites are full (%1 stations): remove one to add another.</source>
        <translation>Die Favoriten sind voll (%1 Sender): Entfernen Sie einen, um einen anderen hinzuzufügen.</translation>
    </message>
    <message numerus="yes">
        <source>%n already among the favourites</source>
        <translation>
            <numerusform>%n schon unter den Favoriten</numerusform>
            <numerusform>%n schon unter den Favoriten</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n without an http:// or https:// address</source>
        <translation>
            <numerusform>%n ohne http://- oder https://-Adresse</numerusform>
            <numerusform>%n ohne http://- oder https://-Adresse</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n beyond the limit of %1 favourites</source>
        <translation>
            <numerusform>%n über der Grenze von %1 Favoriten</numerusform>
            <numerusform>%n über der Grenze von %1 Favoriten</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Added %n station(s).</source>
        <translation>
            <numerusform>%n Sender hinzugefügt.</numerusform>
            <numerusform>%n Sender hinzugefügt.</numerusform>
        </translation>
    </message>
    <message>
        <source>Skipped %1.</source>
        <translation>Übersprungen: %1.</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>%1 is larger than %2 KiB; no playlist is that long.</source>
        <translation>%1 ist größer als %2 KiB; so lang ist keine Wiedergabeliste.</translation>
    </message>
    <message>
        <source>%1 is not an M3U, PLS or XSPF playlist.</source>
        <translation>%1 ist keine M3U-, PLS- oder XSPF-Wiedergabeliste.</translation>
    </message>
    <message>
        <source>Playlists are written as .m3u, .m3u8 or .pls files.</source>
        <translation>Wiedergabelisten werden als .m3u-, .m3u8- oder .pls-Dateien geschrieben.</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
</context>
<context>
    <name>OwnStationsMenu</name>
    <message>
        <source>Add a Station…</source>
        <translation>Sender hinzufügen …</translation>
    </message>
    <message>
        <source>Import…</source>
        <translation>Importieren …</translation>
    </message>
    <message>
        <source>Export…</source>
        <translation>Exportieren …</translation>
    </message>
    <message>
        <source>Added &quot;%1&quot; to the favourites.</source>
        <translation>„%1“ wurde zu den Favoriten hinzugefügt.</translation>
    </message>
    <message>
        <source>Import Stations</source>
        <translation>Sender importieren</translation>
    </message>
    <message>
        <source>Playlists (*.m3u *.m3u8 *.pls *.xspf);;All files (*)</source>
        <translation>Wiedergabelisten (*.m3u *.m3u8 *.pls *.xspf);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Export Favourites</source>
        <translation>Favoriten exportieren</translation>
    </message>
    <message>
        <source>Favourites.m3u</source>
        <translation>Favoriten.m3u</translation>
    </message>
    <message>
        <source>M3U playlist (*.m3u *.m3u8);;PLS playlist (*.pls)</source>
        <translation>M3U-Wiedergabeliste (*.m3u *.m3u8);;PLS-Wiedergabeliste (*.pls)</translation>
    </message>
    <message numerus="yes">
        <source>Wrote %n favourite(s) to %1.</source>
        <translation>
            <numerusform>%n Favorit nach %1 geschrieben.</numerusform>
            <numerusform>%n Favoriten nach %1 geschrieben.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PlayerCommands</name>
    <message>
        <source>No station is loaded.</source>
        <translation>Kein Sender ist geladen.</translation>
    </message>
    <message>
        <source>No favourite or recent station matches &apos;%1&apos;.</source>
        <translation>Kein Favorit und kein zuletzt gehörter Sender passt zu „%1“.</translation>
    </message>
    <message>
        <source>The directory has no station with the identifier &apos;%1&apos;.</source>
        <translation>Das Verzeichnis hat keinen Sender mit der Kennung „%1“.</translation>
    </message>
    <message>
        <source>Not a web address: &apos;%1&apos;.</source>
        <translation>Keine Webadresse: „%1“.</translation>
    </message>
    <message>
        <source>There are no favourites to go through.</source>
        <translation>Es gibt keine Favoriten zum Durchgehen.</translation>
    </message>
    <message>
        <source>The volume is a number from 0 to 100, or +N or -N to change it.</source>
        <translation>Die Lautstärke ist eine Zahl von 0 bis 100, oder +N oder -N, um sie zu ändern.</translation>
    </message>
    <message>
        <source>Recording is not available.</source>
        <translation>Aufnehmen ist nicht verfügbar.</translation>
    </message>
</context>
<context>
    <name>PopoverView</name>
    <message>
        <source>Station picture</source>
        <translation>Senderbild</translation>
    </message>
    <message>
        <source>Station</source>
        <translation>Sender</translation>
    </message>
    <message>
        <source>Station details</source>
        <translation>Senderangaben</translation>
    </message>
    <message>
        <source>Station tags</source>
        <translation>Schlagwörter des Senders</translation>
    </message>
    <message>
        <source>Now playing. Press to search the web for this title</source>
        <translation>Läuft gerade. Drücken, um im Web nach diesem Titel zu suchen</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Abspielen</translation>
    </message>
    <message>
        <source>Plays or stops the loaded station</source>
        <translation>Spielt den geladenen Sender ab oder stoppt ihn</translation>
    </message>
    <message>
        <source>Favourite</source>
        <translation>Favorit</translation>
    </message>
    <message>
        <source>Move up in favourites</source>
        <translation>In den Favoriten nach oben</translation>
    </message>
    <message>
        <source>Move down in favourites</source>
        <translation>In den Favoriten nach unten</translation>
    </message>
    <message>
        <source>Open the station&apos;s web page</source>
        <translation>Die Webseite des Senders öffnen</translation>
    </message>
    <message>
        <source>Vote for this station</source>
        <translation>Für diesen Sender stimmen</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Lautstärke</translation>
    </message>
    <message>
        <source>Choose the country</source>
        <translation>Das Land wählen</translation>
    </message>
    <message>
        <source>Search names and tags</source>
        <translation>Namen und Schlagwörter suchen</translation>
    </message>
    <message>
        <source>Search stations</source>
        <translation>Sender suchen</translation>
    </message>
    <message>
        <source>Filters the stations by name and tags</source>
        <translation>Filtert die Sender nach Name und Schlagwörtern</translation>
    </message>
    <message>
        <source>Sort stations</source>
        <translation>Sender sortieren</translation>
    </message>
    <message>
        <source>Filter by tags</source>
        <translation>Nach Schlagwörtern filtern</translation>
    </message>
    <message>
        <source>Search filters</source>
        <translation>Suchfilter</translation>
    </message>
    <message>
        <source>Stations</source>
        <translation>Sender</translation>
    </message>
    <message>
        <source>Countries</source>
        <translation>Länder</translation>
    </message>
    <message>
        <source>Directory server</source>
        <translation>Verzeichnisserver</translation>
    </message>
    <message>
        <source>Stations come from the community directory Radio Browser. Any of its servers answers with the same list.</source>
        <translation>Die Sender stammen aus dem Gemeinschaftsverzeichnis Radio Browser. Jeder seiner Server antwortet mit derselben Liste.</translation>
    </message>
    <message>
        <source>Radio Browser directory</source>
        <translation>Verzeichnis Radio Browser</translation>
    </message>
    <message>
        <source>Open the Radio Browser web site</source>
        <translation>Die Website von Radio Browser öffnen</translation>
    </message>
    <message>
        <source>Add a missing station</source>
        <translation>Fehlenden Sender hinzufügen</translation>
    </message>
    <message>
        <source>Sound</source>
        <translation>Ton</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>More results</source>
        <translation>Weitere Ergebnisse</translation>
    </message>
    <message>
        <source>Adds the next stations found in the whole directory</source>
        <translation>Fügt die nächsten im ganzen Verzeichnis gefundenen Sender hinzu</translation>
    </message>
    <message>
        <source>★ Favourites</source>
        <translation>★ Favoriten</translation>
    </message>
    <message>
        <source>Show favourites</source>
        <translation>Favoriten zeigen</translation>
    </message>
    <message>
        <source>↺ Recent</source>
        <translation>↺ Zuletzt</translation>
    </message>
    <message>
        <source>Show recently played</source>
        <translation>Zuletzt gespielte zeigen</translation>
    </message>
    <message>
        <source>Open in a window</source>
        <translation>In einem Fenster öffnen</translation>
    </message>
    <message>
        <source>Station strip</source>
        <translation>Senderleiste</translation>
    </message>
    <message>
        <source>Add a station the directory does not have, by its address</source>
        <translation>Einen Sender, den das Verzeichnis nicht kennt, über seine Adresse hinzufügen</translation>
    </message>
    <message>
        <source>Your own stations</source>
        <translation>Eigene Sender</translation>
    </message>
    <message>
        <source>Loading stations</source>
        <translation>Sender werden geladen</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>Wird geladen …</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
    <message>
        <source>No station</source>
        <translation>Kein Sender</translation>
    </message>
</context>
<context>
    <name>RadioBrowser</name>
    <message>
        <source>This station cannot be voted for</source>
        <translation>Für diesen Sender kann nicht abgestimmt werden</translation>
    </message>
    <message>
        <source>You voted for this station less than 10 minutes ago</source>
        <translation>Sie haben vor weniger als 10 Minuten für diesen Sender gestimmt</translation>
    </message>
    <message>
        <source>The directory did not take the vote</source>
        <translation>Das Verzeichnis hat die Stimme nicht angenommen</translation>
    </message>
    <message>
        <source>Vote counted</source>
        <translation>Stimme gezählt</translation>
    </message>
</context>
<context>
    <name>RadioViewController</name>
    <message>
        <source>Search names and tags</source>
        <translation>Namen und Schlagwörter suchen</translation>
    </message>
    <message>
        <source>Search the whole directory</source>
        <translation>Das ganze Verzeichnis durchsuchen</translation>
    </message>
    <message>
        <source>Type a name, or choose filters, to search every country</source>
        <translation>Einen Namen eingeben oder Filter wählen, um alle Länder zu durchsuchen</translation>
    </message>
    <message>
        <source>Everywhere: the stations of every country</source>
        <translation>Überall: die Sender aller Länder</translation>
    </message>
    <message>
        <source>Country: %1</source>
        <translation>Land: %1</translation>
    </message>
    <message>
        <source>Station</source>
        <translation>Sender</translation>
    </message>
    <message>
        <source>Stations</source>
        <translation>Sender</translation>
    </message>
    <message>
        <source>Searches the stations of every country by name</source>
        <translation>Durchsucht die Sender aller Länder nach Namen</translation>
    </message>
    <message>
        <source>Filters the stations by name and tags</source>
        <translation>Filtert die Sender nach Name und Schlagwörtern</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>Wird geladen …</translation>
    </message>
    <message>
        <source>No stations found!</source>
        <translation>Keine Sender gefunden!</translation>
    </message>
    <message>
        <source>⚠️ Server not working!</source>
        <translation>⚠️ Server funktioniert nicht!</translation>
    </message>
</context>
<context>
    <name>RecordingControl</name>
    <message>
        <source>Record</source>
        <translation>Aufnehmen</translation>
    </message>
    <message>
        <source>Record the station as it plays, into your music folder</source>
        <translation>Den Sender beim Hören in den Musikordner aufnehmen</translation>
    </message>
    <message>
        <source>%1 · %2</source>
        <translation>%1 · %2</translation>
    </message>
</context>
<context>
    <name>RecordingWriter</name>
    <message>
        <source>%1 cannot be written: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
</context>
<context>
    <name>SearchFacetsView</name>
    <message>
        <source>Encrypted streams only (HTTPS)</source>
        <translation>Nur verschlüsselte Streams (HTTPS)</translation>
    </message>
    <message>
        <source>jazz, news</source>
        <translation>Jazz, Nachrichten</translation>
    </message>
    <message>
        <source>Any language</source>
        <translation>Jede Sprache</translation>
    </message>
    <message>
        <source>Any country</source>
        <translation>Jedes Land</translation>
    </message>
    <message>
        <source>Any format</source>
        <translation>Jedes Format</translation>
    </message>
    <message>
        <source>Any bit rate</source>
        <translation>Jede Bitrate</translation>
    </message>
    <message>
        <source>At least %1 kbps</source>
        <translation>Mindestens %1 kbit/s</translation>
    </message>
    <message>
        <source>&amp;Tags:</source>
        <translation>&amp;Schlagwörter:</translation>
    </message>
    <message>
        <source>&amp;Language:</source>
        <translation>S&amp;prache:</translation>
    </message>
    <message>
        <source>C&amp;ountry:</source>
        <translation>L&amp;and:</translation>
    </message>
    <message>
        <source>&amp;Format:</source>
        <translation>&amp;Format:</translation>
    </message>
    <message>
        <source>&amp;Bit rate:</source>
        <translation>&amp;Bitrate:</translation>
    </message>
    <message>
        <source>Stations with every one of these tags, separated by commas</source>
        <translation>Sender mit allen diesen Schlagwörtern, durch Kommas getrennt</translation>
    </message>
</context>
<context>
    <name>ServerChoice</name>
    <message>
        <source>Any server (%1)</source>
        <translation>Beliebiger Server (%1)</translation>
    </message>
</context>
<context>
    <name>SleepTimer</name>
    <message>
        <source>%1 s left</source>
        <translation>noch %1 s</translation>
    </message>
    <message>
        <source>%1 min left</source>
        <translation>noch %1 min</translation>
    </message>
</context>
<context>
    <name>SleepTimerMenu</name>
    <message>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>%1 minutes</source>
        <translation>%1 Minuten</translation>
    </message>
    <message>
        <source>Sleep timer</source>
        <translation>Schlummerfunktion</translation>
    </message>
    <message>
        <source>Sleep timer (%1)</source>
        <translation>Schlummerfunktion (%1)</translation>
    </message>
</context>
<context>
    <name>SongHistoryModel</name>
    <message>
        <source>Today</source>
        <translation>Heute</translation>
    </message>
    <message>
        <source>Yesterday</source>
        <translation>Gestern</translation>
    </message>
    <message>
        <source>%1, on %2 at %3, starred</source>
        <translation>%1, auf %2 um %3, markiert</translation>
    </message>
    <message>
        <source>%1, on %2 at %3</source>
        <translation>%1, auf %2 um %3</translation>
    </message>
</context>
<context>
    <name>SortMenu</name>
    <message>
        <source>Most votes</source>
        <translation>Meiste Stimmen</translation>
    </message>
    <message>
        <source>Most played</source>
        <translation>Am meisten gehört</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Tags</source>
        <translation>Schlagwörter</translation>
    </message>
</context>
<context>
    <name>StationCollectionViewItem</name>
    <message>
        <source>Remove from Favorites</source>
        <translation>Aus den Favoriten entfernen</translation>
    </message>
    <message>
        <source>%1
No longer in the directory</source>
        <translation>%1
Nicht mehr im Verzeichnis</translation>
    </message>
    <message>
        <source>favourite</source>
        <translation>Favorit</translation>
    </message>
    <message>
        <source>no longer in the directory</source>
        <translation>nicht mehr im Verzeichnis</translation>
    </message>
    <message>
        <source>Enter plays, the menu key offers removal</source>
        <translation>Eingabe spielt ab, die Menütaste bietet Entfernen an</translation>
    </message>
    <message>
        <source>Enter plays</source>
        <translation>Eingabe spielt ab</translation>
    </message>
    <message>
        <source>Edit…</source>
        <translation>Bearbeiten …</translation>
    </message>
    <message>
        <source>%1
Your own station</source>
        <translation>%1
Eigener Sender</translation>
    </message>
    <message>
        <source>your own station</source>
        <translation>eigener Sender</translation>
    </message>
</context>
<context>
    <name>StationPlayer</name>
    <message>
        <source>Stream not available</source>
        <translation>Stream nicht verfügbar</translation>
    </message>
</context>
<context>
    <name>StationResolver</name>
    <message>
        <source>Only http:// and https:// addresses can be added.</source>
        <translation>Nur http://- und https://-Adressen können hinzugefügt werden.</translation>
    </message>
    <message>
        <source>Nothing at this address plays.</source>
        <translation>Unter dieser Adresse spielt nichts.</translation>
    </message>
    <message>
        <source>The playlist has no http:// or https:// entry.</source>
        <translation>Die Wiedergabeliste hat keinen http://- oder https://-Eintrag.</translation>
    </message>
    <message>
        <source>The playlists are nested more than %1 deep.</source>
        <translation>Die Wiedergabelisten sind mehr als %1 Ebenen tief verschachtelt.</translation>
    </message>
    <message>
        <source>The address sends on to one that is not http:// or https://.</source>
        <translation>Die Adresse leitet zu einer weiter, die nicht http:// oder https:// ist.</translation>
    </message>
    <message>
        <source>The server refused the address: %1</source>
        <translation>Der Server hat die Adresse abgewiesen: %1</translation>
    </message>
    <message>
        <source>The station did not answer within %1 seconds.</source>
        <translation>Der Sender hat nicht innerhalb von %1 Sekunden geantwortet.</translation>
    </message>
    <message>
        <source>Could not reach the station: %1</source>
        <translation>Der Sender ist nicht erreichbar: %1</translation>
    </message>
    <message>
        <source>The address gave nothing to play.</source>
        <translation>Die Adresse lieferte nichts zum Abspielen.</translation>
    </message>
    <message>
        <source>This address leads to a web page, not to a stream or a playlist.</source>
        <translation>Diese Adresse führt zu einer Webseite, nicht zu einem Stream oder einer Wiedergabeliste.</translation>
    </message>
    <message>
        <source>The playlist is larger than %1 KiB.</source>
        <translation>Die Wiedergabeliste ist größer als %1 KiB.</translation>
    </message>
    <message>
        <source>The playlist did not arrive within %1 seconds.</source>
        <translation>Die Wiedergabeliste kam nicht innerhalb von %1 Sekunden an.</translation>
    </message>
    <message>
        <source>This address gives %1, not audio the player can play.</source>
        <translation>Diese Adresse liefert %1, kein Audio, das der Player abspielen kann.</translation>
    </message>
    <message>
        <source>What this address sends is not audio the player can play.</source>
        <translation>Was diese Adresse sendet, ist kein Audio, das der Player abspielen kann.</translation>
    </message>
</context>
<context>
    <name>StationTableModel</name>
    <message>
        <source>%1
No longer in the directory</source>
        <translation>%1
Nicht mehr im Verzeichnis</translation>
    </message>
    <message>
        <source>Enter plays, Space removes the star</source>
        <translation>Eingabe spielt ab, Leertaste entfernt den Stern</translation>
    </message>
    <message>
        <source>Enter plays, Space adds the star</source>
        <translation>Eingabe spielt ab, Leertaste setzt den Stern</translation>
    </message>
    <message>
        <source>%1
Your own station</source>
        <translation>%1
Eigener Sender</translation>
    </message>
</context>
<context>
    <name>StationsStripView</name>
    <message>
        <source>Station name</source>
        <translation>Sendername</translation>
    </message>
    <message>
        <source>Scroll left</source>
        <translation>Nach links blättern</translation>
    </message>
    <message>
        <source>Scroll right</source>
        <translation>Nach rechts blättern</translation>
    </message>
    <message>
        <source>FAVORITE STATIONS LIST</source>
        <translation>LISTE DER LIEBLINGSSENDER</translation>
    </message>
    <message>
        <source>RECENT STATIONS LIST</source>
        <translation>LISTE DER ZULETZT GEHÖRTEN SENDER</translation>
    </message>
    <message>
        <source>Favorite stations</source>
        <translation>Lieblingssender</translation>
    </message>
    <message>
        <source>Recent stations</source>
        <translation>Zuletzt gehörte Sender</translation>
    </message>
    <message>
        <source>Star a station to keep it here.</source>
        <translation>Markieren Sie einen Sender mit dem Stern, um ihn hier zu behalten.</translation>
    </message>
    <message>
        <source>The stations you play appear here.</source>
        <translation>Die Sender, die Sie hören, erscheinen hier.</translation>
    </message>
</context>
<context>
    <name>StreamRecorder</name>
    <message>
        <source>Recording stopped: %1</source>
        <translation>Aufnahme beendet: %1</translation>
    </message>
    <message>
        <source> (partial)</source>
        <translation> (unvollständig)</translation>
    </message>
    <message>
        <source>Station</source>
        <translation>Sender</translation>
    </message>
    <message>
        <source>Nothing is playing to record.</source>
        <translation>Es läuft nichts, das sich aufnehmen ließe.</translation>
    </message>
    <message>
        <source>Less than 500 MB free for recordings in %1.</source>
        <translation>Weniger als 500 MB frei für Aufnahmen in %1.</translation>
    </message>
    <message>
        <source>Recording stopped: less than 500 MB free in %1.</source>
        <translation>Aufnahme beendet: weniger als 500 MB frei in %1.</translation>
    </message>
</context>
<context>
    <name>TagsView</name>
    <message>
        <source>Tags</source>
        <translation>Schlagwörter</translation>
    </message>
    <message>
        <source>Search Tags</source>
        <translation>Schlagwörter suchen</translation>
    </message>
    <message>
        <source>Search tags</source>
        <translation>Schlagwörter suchen</translation>
    </message>
    <message>
        <source>Clear All</source>
        <translation>Alle abwählen</translation>
    </message>
    <message>
        <source>Clear the tag selection</source>
        <translation>Die Auswahl der Schlagwörter aufheben</translation>
    </message>
    <message>
        <source>Tag list</source>
        <translation>Schlagwortliste</translation>
    </message>
    <message>
        <source>No Tags</source>
        <translation>Keine Schlagwörter</translation>
    </message>
    <message>
        <source>No Matching Tags</source>
        <translation>Keine passenden Schlagwörter</translation>
    </message>
</context>
<context>
    <name>WakeUpAlarmView</name>
    <message>
        <source>Wake-up alarm</source>
        <translation>Wecker</translation>
    </message>
    <message>
        <source>Wake me at</source>
        <translation>Wecken um</translation>
    </message>
    <message>
        <source>Plays a favourite at this time on the chosen days, fading in over 30 seconds. Ostrel Radio must be running, in the tray at least.</source>
        <translation>Spielt zu dieser Uhrzeit an den gewählten Tagen einen Favoriten und blendet ihn über 30 Sekunden ein. Ostrel Radio muss dafür laufen, zumindest im Infobereich.</translation>
    </message>
    <message>
        <source>Alarm time</source>
        <translation>Weckzeit</translation>
    </message>
    <message>
        <source>Alarm station</source>
        <translation>Wecksender</translation>
    </message>
    <message>
        <source>Station</source>
        <translation>Sender</translation>
    </message>
    <message>
        <source>No favourites yet</source>
        <translation>Noch keine Favoriten</translation>
    </message>
    <message>
        <source>A removed favourite (only a tone rings)</source>
        <translation>Ein entfernter Favorit (nur ein Signalton erklingt)</translation>
    </message>
    <message>
        <source>Choose the days it rings.</source>
        <translation>Wählen Sie die Tage, an denen er klingelt.</translation>
    </message>
    <message>
        <source>Next alarm: %1 at %2</source>
        <translation>Nächstes Wecken: %1 um %2</translation>
    </message>
</context>
<context>
    <name>WebDavDatabase</name>
    <message>
        <source>No password is stored for %1</source>
        <translation>Für %1 ist kein Passwort gespeichert</translation>
    </message>
    <message>
        <source>The password could not be read from the keyring: %1</source>
        <translation>Das Passwort konnte nicht aus dem Schlüsselbund gelesen werden: %1</translation>
    </message>
    <message>
        <source>The answer is larger than %1 MiB</source>
        <translation>Die Antwort ist größer als %1 MiB</translation>
    </message>
    <message>
        <source>The server refused the login (HTTP 401)</source>
        <translation>Der Server hat die Anmeldung abgelehnt (HTTP 401)</translation>
    </message>
    <message>
        <source>The server does not allow this (HTTP 403)</source>
        <translation>Der Server erlaubt das nicht (HTTP 403)</translation>
    </message>
    <message>
        <source>The record changed on the server since it was fetched (HTTP 412)</source>
        <translation>Der Datensatz hat sich seit dem Abruf auf dem Server geändert (HTTP 412)</translation>
    </message>
    <message>
        <source>Another save is writing the record (HTTP 423)</source>
        <translation>Ein anderes Speichern schreibt gerade den Datensatz (HTTP 423)</translation>
    </message>
    <message>
        <source>The server keeps asking to wait (HTTP 429)</source>
        <translation>Der Server bittet immer wieder zu warten (HTTP 429)</translation>
    </message>
    <message>
        <source>The server redirects to %1 (HTTP %2): use that address</source>
        <translation>Der Server leitet auf %1 um (HTTP %2): Verwenden Sie diese Adresse</translation>
    </message>
    <message>
        <source>The server answered HTTP %1</source>
        <translation>Der Server antwortete mit HTTP %1</translation>
    </message>
    <message>
        <source>Cloud sync is off: no account is set up</source>
        <translation>Der Cloud-Abgleich ist aus: Es ist kein Konto eingerichtet</translation>
    </message>
    <message>
        <source>The record %1 does not exist yet</source>
        <translation>Den Datensatz %1 gibt es noch nicht</translation>
    </message>
    <message>
        <source>The folder %1 cannot be made or used (HTTP %2)</source>
        <translation>Der Ordner %1 kann nicht angelegt oder benutzt werden (HTTP %2)</translation>
    </message>
    <message>
        <source>Another save replaced the record at the same moment</source>
        <translation>Ein anderes Speichern hat den Datensatz im selben Moment ersetzt</translation>
    </message>
    <message>
        <source>An http(s) address and a user name are needed</source>
        <translation>Eine http(s)-Adresse und ein Benutzername werden gebraucht</translation>
    </message>
    <message>
        <source>There is no folder at %1</source>
        <translation>Unter %1 gibt es keinen Ordner</translation>
    </message>
    <message>
        <source>%1 is not a WebDAV folder (HTTP %2)</source>
        <translation>%1 ist kein WebDAV-Ordner (HTTP %2)</translation>
    </message>
</context>
</TS>
