# SPDX-License-Identifier: GPL-3.0-or-later
"""Name pools for generated stations: per-country words, places and languages."""

from dataclasses import dataclass


@dataclass(frozen=True)
class City:
    label: str          # as written in station names
    state: str          # the region, as the directory spells it
    iso_3166_2: str
    lat: float
    long: float


@dataclass(frozen=True)
class Locale:
    patterns: tuple     # name patterns over {prefix} {word} {city} {freq} {call}
    prefixes: tuple
    words: tuple
    cities: tuple
    languages: tuple    # (language, languagecodes) pairs; "" for unknown
    tags: tuple


COMMON_TAGS = ("pop", "rock", "news", "talk", "jazz", "classical", "80s", "90s",
               "oldies", "dance", "electronic", "hits", "chillout", "lofi",
               "sports", "local news", "top 40", "ambient", "metal", "indie",
               "world music", "christian", "community radio", "public radio")

PLAIN_PATTERNS = ("{prefix} {city}", "{prefix} {word}", "{word} {city}",
                  "{prefix} {word} {city}", "{word} {freq}", "{prefix} {city} {freq}")

GERMAN = Locale(
    PLAIN_PATTERNS,
    ("Radio", "Antenne", "Welle", "Funk", "Sender", "Stadtradio", "Webradio"),
    ("Schlager", "Klassik", "Oldies", "Heimatklänge", "Kultradio", "Nachtfalke",
     "Jazzkeller", "Gute Laune", "Bürgerfunk", "Straßenmusik", "Rockland",
     "Hitmix", "Volksmusik", "Kirchenfunk", "Party", "Lounge", "Weihnachten"),
    (City("München", "Bavaria", "DE-BY", 48.137, 11.575),
     City("Köln", "North Rhine-Westphalia", "DE-NW", 50.938, 6.960),
     City("Düsseldorf", "North Rhine-Westphalia", "DE-NW", 51.227, 6.773),
     City("Hamburg", "Hamburg", "DE-HH", 53.551, 9.994),
     City("Berlin", "Berlin", "DE-BE", 52.520, 13.405),
     City("Nürnberg", "Bavaria", "DE-BY", 49.452, 11.077),
     City("Leipzig", "Saxony", "DE-SN", 51.340, 12.375),
     City("Stuttgart", "Baden-Württemberg", "DE-BW", 48.776, 9.183),
     City("Frankfurt am Main", "Hesse", "DE-HE", 50.110, 8.682),
     City("Lübeck", "Schleswig-Holstein", "DE-SH", 53.866, 10.687),
     City("Görlitz", "Saxony", "DE-SN", 51.153, 14.987),
     City("Würzburg", "Bavaria", "DE-BY", 49.792, 9.953)),
    (("german", "de"), ("german", "de"), ("german,english", "de,en"),
     ("deutsch", "de"), ("", "")),
    ("Schlager", "Volksmusik", "deutsch", "Kirchenmusik", "Neue Deutsche Welle"),
)

AUSTRIAN = Locale(
    PLAIN_PATTERNS,
    ("Radio", "Welle", "Antenne", "Lokalradio"),
    ("Alpenklang", "Austropop", "Walzer", "Schlager", "Heurigen", "Klassik",
     "Jazz", "Hits", "Volksmusik", "Kulturradio"),
    (City("Wien", "Vienna", "AT-9", 48.208, 16.373),
     City("Graz", "Styria", "AT-6", 47.070, 15.439),
     City("Linz", "Upper Austria", "AT-4", 48.306, 14.286),
     City("Salzburg", "Salzburg", "AT-5", 47.809, 13.055),
     City("Innsbruck", "Tyrol", "AT-7", 47.269, 11.404),
     City("Klagenfurt am Wörthersee", "Carinthia", "AT-2", 46.624, 14.308)),
    (("german", "de"), ("german,austrian german", "de"), ("", "")),
    ("Austropop", "Volksmusik", "Walzer", "Schlager"),
)

SWISS = Locale(
    PLAIN_PATTERNS,
    ("Radio", "Radio Régional", "Radio Svizzera", "Funk"),
    ("Alphorn", "Ländler", "Chansons", "Classique", "Musica", "Jazz", "Lounge",
     "Volksmusig", "Suisse Pop", "Rumantsch"),
    (City("Zürich", "Zurich", "CH-ZH", 47.377, 8.540),
     City("Genève", "Geneva", "CH-GE", 46.204, 6.143),
     City("Lugano", "Ticino", "CH-TI", 46.004, 8.951),
     City("Bern", "Bern", "CH-BE", 46.948, 7.447),
     City("Basel", "Basel-City", "CH-BS", 47.560, 7.589),
     City("Chur", "Graubünden", "CH-GR", 46.850, 9.532)),
    (("german", "de"), ("french", "fr"), ("italian", "it"),
     ("german,french,italian,romansh", "de,fr,it,rm"), ("", "")),
    ("Ländler", "chanson", "Volksmusik", "musica italiana"),
)

FRENCH = Locale(
    PLAIN_PATTERNS,
    ("Radio", "Fréquence", "Ondes", "Radio Côte", "Échos"),
    ("Chérie", "Évasion", "Mélodie", "Nostalgie", "Jazz Café", "Chanson Française",
     "Électro", "Île de France", "Génération", "Musique Classique", "Forêt"),
    (City("Paris", "Île-de-France", "FR-IDF", 48.857, 2.352),
     City("Lyon", "Auvergne-Rhône-Alpes", "FR-ARA", 45.764, 4.836),
     City("Marseille", "Provence-Alpes-Côte d'Azur", "FR-PAC", 43.296, 5.370),
     City("Besançon", "Bourgogne-Franche-Comté", "FR-BFC", 47.238, 6.024),
     City("Nîmes", "Occitanie", "FR-OCC", 43.837, 4.360),
     City("Orléans", "Centre-Val de Loire", "FR-CVL", 47.903, 1.909)),
    (("french", "fr"), ("french", "fr"), ("french,english", "fr,en"),
     ("occitan", "oc"), ("", "")),
    ("chanson", "variété française", "musique", "électro"),
)

JAPANESE = Locale(
    ("{prefix}{city}", "{prefix} {word}", "{word}{city}", "{word} {freq}",
     "{prefix}{word}"),
    ("ラジオ", "エフエム", "FM", "コミュニティFM", "ネットラジオ"),
    ("さくら", "アニメ", "ジャズ喫茶", "クラシック", "ニュース", "演歌", "ひまわり",
     "J-POP", "みなと", "城下町", "海風"),
    (City("東京", "Tokyo", "JP-13", 35.690, 139.692),
     City("大阪", "Osaka", "JP-27", 34.694, 135.502),
     City("札幌", "Hokkaido", "JP-01", 43.062, 141.354),
     City("福岡", "Fukuoka", "JP-40", 33.590, 130.402),
     City("那覇", "Okinawa", "JP-47", 26.212, 127.681)),
    (("japanese", "ja"), ("japanese", "ja"), ("japanese,english", "ja,en"), ("", "")),
    ("J-Pop", "Anime", "enka", "アニメ", "japanese"),
)

RUSSIAN = Locale(
    PLAIN_PATTERNS,
    ("Радио", "Волна", "Голос", "Станция"),
    ("Шансон", "Ретро", "Джаз", "Классика", "Новости", "Дача", "Рок", "Юмор",
     "Романтика", "Эхо", "Родные Песни"),
    (City("Москва", "Moscow", "RU-MOW", 55.756, 37.617),
     City("Санкт-Петербург", "Saint Petersburg", "RU-SPE", 59.939, 30.316),
     City("Новосибирск", "Novosibirsk Oblast", "RU-NVS", 55.030, 82.920),
     City("Казань", "Tatarstan", "RU-TA", 55.796, 49.106),
     City("Владивосток", "Primorsky Krai", "RU-PRI", 43.115, 131.885)),
    (("russian", "ru"), ("russian", "ru"), ("русский", "ru"), ("tatar,russian", "tt,ru"),
     ("", "")),
    ("шансон", "эстрада", "русский рок", "russian"),
)

BRAZILIAN = Locale(
    PLAIN_PATTERNS,
    ("Rádio", "Rádio Comunitária", "Web Rádio", "Rede"),
    ("Canção Nova", "Sertaneja", "Forró", "Samba", "Gaúcha", "Educadora",
     "Pagode", "Bossa Nova", "Evangélica", "Notícias", "Coração"),
    (City("São Paulo", "São Paulo", "BR-SP", -23.551, -46.633),
     City("Rio de Janeiro", "Rio de Janeiro", "BR-RJ", -22.907, -43.173),
     City("Belém", "Pará", "BR-PA", -1.456, -48.490),
     City("Goiânia", "Goiás", "BR-GO", -16.686, -49.265),
     City("Florianópolis", "Santa Catarina", "BR-SC", -27.595, -48.548)),
    (("portuguese", "pt"), ("brazilian portuguese", "pt"), ("", "")),
    ("MPB", "samba", "sertanejo", "forró", "gospel", "pagode"),
)

BRITISH = Locale(
    PLAIN_PATTERNS,
    ("Radio", "Sound", "Community Radio", "Hospital Radio"),
    ("Gold", "Classic Hits", "Talk", "Jazz", "Dance Anthems", "Folk", "Greatest Hits",
     "Chill", "Country", "Northern Soul", "Drum & Bass"),
    (City("London", "England", "GB-LND", 51.507, -0.128),
     City("Manchester", "England", "GB-MAN", 53.480, -2.242),
     City("Glasgow", "Scotland", "GB-GLG", 55.864, -4.252),
     City("Cardiff", "Wales", "GB-CRF", 51.482, -3.179),
     City("Belfast", "Northern Ireland", "GB-BFS", 54.597, -5.930)),
    (("english", "en"), ("english", "en"), ("english,welsh", "en,cy"), ("", "")),
    ("bbc", "britpop", "uk garage", "folk"),
)

AMERICAN = Locale(
    ("{call} {freq} FM", "{call}-FM {city}", "{word} {freq}", "{city} {word}",
     "{call} {word}", "{freq} {word} {city}", "{call} {city} {prefix}"),
    ("Public Radio", "Community Radio", "College Radio", "AM", "HD2"),
    ("Country", "Classic Rock", "Hits", "The Bear", "Jazz", "News Talk", "Gospel",
     "La Mega", "Tejano", "Oldies", "Sports", "Alt Rock", "Hip Hop", "Smooth Jazz",
     "Christmas", "Bluegrass", "Soul", "The Wave", "Classical", "La Raza"),
    (City("Seattle", "Washington", "US-WA", 47.606, -122.332),
     City("Austin", "Texas", "US-TX", 30.267, -97.743),
     City("Chicago", "Illinois", "US-IL", 41.878, -87.630),
     City("New York", "New York", "US-NY", 40.713, -74.006),
     City("Los Angeles", "California", "US-CA", 34.052, -118.244),
     City("Nashville", "Tennessee", "US-TN", 36.163, -86.781),
     City("Anchorage", "Alaska", "US-AK", 61.218, -149.900),
     City("Honolulu", "Hawaii", "US-HI", 21.307, -157.858),
     City("Miami", "Florida", "US-FL", 25.762, -80.192),
     City("Denver", "Colorado", "US-CO", 39.739, -104.990),
     City("San Juan", "Puerto Rico", "US-PR", 18.466, -66.106),
     City("Santa Fe", "New Mexico", "US-NM", 35.687, -105.938)),
    (("english", "en"), ("english", "en"), ("english", "en"), ("spanish", "es"),
     ("english,spanish", "en,es"), ("", "")),
    ("npr", "americana", "college radio", "country", "r&b", "tejano"),
)

SWEDISH = Locale(
    PLAIN_PATTERNS,
    ("Radio", "Närradio"),
    ("Skärgård", "Åländsk Musik", "Nyheter"),
    (City("Mariehamn", "Åland", "AX-MH", 60.097, 19.935),),
    (("swedish", "sv"),),
    ("svensk", "schlager"),
)

IVORIAN = Locale(
    PLAIN_PATTERNS,
    ("Radio", "Fréquence", "Radio Côte d'Ivoire"),
    ("Zouglou", "Coupé-Décalé", "Nouchi", "Gospel", "Info"),
    (City("Abidjan", "Abidjan", "CI-AB", 5.360, -4.008),
     City("Yamoussoukro", "Yamoussoukro", "CI-YM", 6.828, -5.290)),
    (("french", "fr"), ("french,baoulé", "fr,bci"), ("", "")),
    ("zouglou", "coupé-décalé", "afrobeat"),
)

BULK_LOCALE = Locale(
    PLAIN_PATTERNS + AMERICAN.patterns[:3],
    tuple(p for loc in (GERMAN, FRENCH, RUSSIAN, BRAZILIAN, AMERICAN, JAPANESE)
          for p in loc.prefixes),
    tuple(w for loc in (GERMAN, FRENCH, RUSSIAN, BRAZILIAN, AMERICAN, JAPANESE)
          for w in loc.words),
    tuple(c for loc in (GERMAN, FRENCH, RUSSIAN, BRAZILIAN, AMERICAN, JAPANESE)
          for c in loc.cities),
    GERMAN.languages + FRENCH.languages + AMERICAN.languages,
    GERMAN.tags + JAPANESE.tags + AMERICAN.tags,
)
