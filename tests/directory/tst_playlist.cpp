// SPDX-License-Identifier: GPL-3.0-or-later
// Playlist files and stream beginnings from anywhere: what is read from them, and what is not.
#include "directory/AudioSniffer.h"
#include "directory/OwnStations.h"
#include "directory/Playlist.h"
#include "directory/PlaylistWriter.h"

#include <QtTest>

using playlist::Entry;
using playlist::Format;

Q_DECLARE_METATYPE(playlist::Format)

class TestPlaylist : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parses_data();
    void parses();
    void sniffsAudio_data();
    void sniffsAudio();
    void writesWhatItReads_data();
    void writesWhatItReads();
};

void TestPlaylist::parses_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<Format>("format");
    QTest::addColumn<QList<Entry>>("entries");

    const QString a = QStringLiteral("http://a.example/live");
    const QString b = QStringLiteral("https://b.example/x.mp3");
    QTest::newRow("pls, numbered out of order, keys in any case")
        << QByteArray("[playlist]\nFile2=" + b.toUtf8() + "\nfile1 = " + a.toUtf8() + "\nTitle1=One\nTITLE2=Two\nNumberOfEntries=2\n")
        << QByteArray() << QString() << Format::Pls << QList<Entry>{{a, "One"}, {b, "Two"}};
    QTest::newRow("extended m3u with attributes and a comma in quotes, CRLF, BOM")
        << QByteArray("\xEF\xBB\xBF#EXTM3U\r\n#EXTINF:-1 tvg-name=\"x,y\" group=\"r\",Radio, One\r\n" + a.toUtf8() +
                      "\r\n#EXTINF:-1,\r\n" + b.toUtf8() + "\r\n")
        << QByteArray() << QString() << Format::M3u << QList<Entry>{{a, "Radio, One"}, {b, ""}};
    QTest::newRow("plain list of addresses as text/plain, local entries kept for callers to refuse")
        << QByteArray(a.toUtf8() + "\n/etc/passwd\nfile:///dev/zero\n") << QByteArray("text/plain") << QString()
        << Format::M3u << QList<Entry>{{a, ""}, {"/etc/passwd", ""}, {"file:///dev/zero", ""}};
    QTest::newRow("m3u by content type, names with control characters and Latin-1")
        << QByteArray("#EXTINF:0,Caf\xE9\x1B[31m\x07 Bar\n" + a.toUtf8()) << QByteArray("audio/x-mpegurl; charset=x")
        << QString() << Format::M3u << QList<Entry>{{a, QStringLiteral("Café [31m Bar")}};
    QTest::newRow("hls is a stream")
        << QByteArray("#EXTM3U\n#EXT-X-TARGETDURATION:10\n#EXTINF:10,\nseg1.aac\n") << QByteArray() << QString("live.m3u8")
        << Format::Hls << QList<Entry>{};
    QTest::newRow("xspf with markup in the title")
        << QByteArray("<?xml version=\"1.0\"?><playlist version=\"1\" xmlns=\"http://xspf.org/ns/0/\"><trackList>"
                      "<track><location>" + a.toUtf8() + "</location><title>&lt;b&gt;Bold&lt;/b&gt;</title></track>"
                      "<track><title>No address</title></track></trackList></playlist>")
        << QByteArray("application/xspf+xml") << QString() << Format::Xspf << QList<Entry>{{a, "<b>Bold</b>"}};
    QTest::newRow("asx in upper case with bare ampersands and two refs")
        << QByteArray("<ASX version=\"3.0\"><ENTRY><TITLE>Asx One</TITLE><REF HREF=\"" + a.toUtf8() +
                      "?a=1&b=2\"/><Ref href=\"" + b.toUtf8() + "\"/></ENTRY></ASX>")
        << QByteArray("video/x-ms-asf") << QString() << Format::Asx
        << QList<Entry>{{a + "?a=1&b=2", "Asx One"}, {b, "Asx One"}};
    QTest::newRow("xml entity bomb reads as nothing, without hanging")
        << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE p [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">"
                      "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;\">"
                      "<!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;\">]><playlist><trackList><track><location>&e;&e;&e;&e;</location>"
                      "</track></trackList></playlist>")
        << QByteArray() << QString() << Format::Xspf << QList<Entry>{};
    QTest::newRow("a web page named like a playlist")
        << QByteArray("<!DOCTYPE html><html><body>" + a.toUtf8() + "</body></html>") << QByteArray("audio/x-scpls")
        << QString("list.pls") << Format::Unknown << QList<Entry>{};
    QTest::newRow("audio named like a playlist")
        << QByteArray("ID3\x04\0\0\0\0\0\0" + QByteArray(100, '\0')) << QByteArray("audio/x-mpegurl") << QString("x.m3u")
        << Format::Unknown << QList<Entry>{};
    QTest::newRow("empty") << QByteArray() << QByteArray("audio/x-scpls") << QString() << Format::Unknown << QList<Entry>{};
    QTest::newRow("pls with huge numbers and no file keys")
        << QByteArray("[playlist]\nFile99999999999=" + a.toUtf8() + "\nTitle1=Lonely\n") << QByteArray() << QString()
        << Format::Pls << QList<Entry>{};
    QByteArray many("#EXTM3U\n");
    for (int i = 0; i < playlist::kMaxEntries + 5; ++i)
        many += "http://h/" + QByteArray::number(i) + '\n';
    QTest::newRow("more entries than are kept") << many << QByteArray() << QString() << Format::M3u
                                                << QList<Entry>{}; // counted below
}

void TestPlaylist::parses() {
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, contentType);
    QFETCH(QString, fileName);
    QFETCH(Format, format);
    QFETCH(QList<Entry>, entries);
    QCOMPARE(playlist::detect(bytes, contentType, fileName), format);
    const QList<Entry> parsed = playlist::parse(bytes, contentType, fileName);
    if (QByteArrayView(QTest::currentDataTag()).startsWith("more entries"))
        QCOMPARE(parsed.size(), playlist::kMaxEntries);
    else
        QCOMPARE(parsed, entries);
}

void TestPlaylist::sniffsAudio_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("codec"); // empty: not audio
    QTest::addColumn<int>("bitrate");

    // MPEG-1 layer III, 128 kbit/s, 44.1 kHz: 417 bytes a frame without padding.
    QByteArray mp3Frame("\xFF\xFB\x90\x00", 4);
    mp3Frame.append(417 - 4, '\0');
    QTest::newRow("mp3 joined in the middle of a frame") << QByteArray(300, 'x') + mp3Frame + mp3Frame + mp3Frame
                                                         << "MP3" << 128;
    QTest::newRow("mp3 after an ID3 tag") << QByteArray("ID3\x03\0\0\0\0\0\x0A", 10) + QByteArray(10, 'T') + mp3Frame + mp3Frame
                                          << "MP3" << 128;
    QByteArray adts("\xFF\xF1\x50\x80\x10\x1F\xFC", 7); // a 128-byte frame
    adts.append(128 - 7, '\0');
    QTest::newRow("aac in adts") << adts + adts + adts << "AAC" << 0;
    QTest::newRow("ogg vorbis") << QByteArray("OggS\0\x02", 6) + QByteArray(22, '\0') + QByteArray("\x01vorbis") << "OGG" << 0;
    QTest::newRow("ogg opus") << QByteArray("OggS\0\x02", 6) + QByteArray(22, '\0') + QByteArray("OpusHead") << "OPUS" << 0;
    QTest::newRow("flac") << QByteArray("fLaC\0\0\0\x22") << "FLAC" << 0;
    QTest::newRow("ogg video") << QByteArray("OggS\0\x02", 6) + QByteArray(22, '\0') + QByteArray("\x80theora") << "" << 0;
    QTest::newRow("one lonely sync word") << QByteArray("\xFF\xFB\x90\x00", 4) + QByteArray(1000, 'x') << "" << 0;
    QTest::newRow("html") << QByteArray("<!doctype html><title>Radio</title>") << "" << 0;
    QTest::newRow("id3 tag claiming more than there is") << QByteArray("ID3\x03\0\0\x7F\x7F\x7F\x7F", 10) << "" << 0;
}

void TestPlaylist::sniffsAudio() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, codec);
    QFETCH(int, bitrate);
    const std::optional<audiosniffer::Format> format = audiosniffer::sniff(bytes);
    QCOMPARE(format.has_value(), !codec.isEmpty());
    if (format)
        QCOMPARE(*format, (audiosniffer::Format{codec, bitrate}));
}

void TestPlaylist::writesWhatItReads_data() {
    QTest::addColumn<QString>("fileName");
    QTest::newRow("m3u") << "favourites.m3u";
    QTest::newRow("m3u8") << "favourites.M3U8";
    QTest::newRow("pls") << "favourites.pls";
}

void TestPlaylist::writesWhatItReads() {
    QFETCH(QString, fileName);
    OwnStations::Fields one;
    one.name = QStringLiteral("Ünïcode FM");
    one.url = QStringLiteral("https://a.example/live?x=1&y=2");
    OwnStations::Fields two;
    two.name = QStringLiteral("Two\nLines");
    two.url = QStringLiteral("http://b.example:8000/b");
    const StationList stations{OwnStations::make(one), OwnStations::make(two)};
    const auto format = playlistwriter::formatForFileName(fileName);
    QVERIFY(format != playlistwriter::Format::None);
    const QList<Entry> read = playlist::parse(playlistwriter::write(stations, format), QByteArray(), fileName);
    QCOMPARE(read, (QList<Entry>{{one.url, one.name}, {two.url, QStringLiteral("Two Lines")}}));
}

QTEST_GUILESS_MAIN(TestPlaylist)
#include "tst_playlist.moc"
