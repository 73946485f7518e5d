#include "tools/TextGenerator.h"

#include <utility>
#include <vector>

#include "tools/DatWriter.h"

namespace reef::tools {
namespace {

using Entries = std::vector<std::pair<const char*, const char*>>;

const Entries& directoryEntries() {
    static const Entries entries = {
        {"win32reg", "Software\\ReefSaver\\Settings"},
        {"appname_long", "ReefSaver Korallenriff"},
        {"mainbitmap", kIntroPicture},
    };
    return entries;
}

const Entries& languageEntries() {
    static const Entries entries = {
        // Main dialog and its page list.
        {"caption", "Einstellungen"},
        {"OK", "OK"},
        {"cancel", "Abbrechen"},
        {"screensettings", "Bildschirm Einstellungen"},
        {"savefailed",
         "Die Einstellungen konnten nicht gespeichert werden: der Ordner der Einstellungsdatei ist nicht "
         "beschreibbar. Bitte prüfen Sie die Zugriffsrechte oder brechen Sie ab."},
        {"intro", "Willkommen"},
        {"boid", "Schwarm"},
        {"fish", "Fische"},
        {"birds", "Vögel"},
        {"animals", "Tiere"},
        {"diverse", "Verschiedenes"},
        {"sky", "Himmel"},
        {"camera", "Kamera"},
        {"sound", "Sound"},
        // Intro page.
        {"infotxt",
         "Lust auf mehr? Tauchen Sie ein in ein tropisches Riff\r\n"
         "mit Fischschwärmen, Schildkröten und Mantas."},
        {"hyperlink", "https://reefsaver.example.org/"},
        {"hyperlink_txt", "reefsaver.example.org"},
        // Set pages.
        {"boidtype", "Art"},
        {"boidcount", "Anzahl"},
        {"fishtype", "Arten"},
        {"fishcount", "Anzahl"},
        {"birdtype", "Arten"},
        {"animalstype", "Arten"},
        {"diversetype", "Arten"},
        // Sky, camera and sound pages.
        {"skytext", "Himmel"},
        {"cloudy", "bewölkt"},
        {"cloudless", "wolkenlos"},
        {"cameratext", "Kamera"},
        {"automatic", "automatisch"},
        {"top", "oben"},
        {"middle", "Mitte"},
        {"bottom", "unten"},
        {"scrollspeed", "Scroll-Geschwindigkeit:"},
        {"resttime_top", "Verweildauer oben:"},
        {"resttime_bottom", "Verweildauer unten:"},
        {"soundtext", "Sound"},
        {"on_off", "ein/aus"},
        // Help overlay of the viewer.
        {"help", "F1: Hilfe"},
        {"helpexpanded",
         "Tasten:\r\n"
         "Esc: Beenden\r\n"
         "Pos1: Blick zurücksetzen\r\n"
         "Pfeil hoch: Blick nach oben neigen\r\n"
         "Pfeil runter: Blick nach unten neigen\r\n"
         "Leertaste: Gittermodell ein/aus\r\n"
         "F1: Hilfe ein/aus\r\n"
         "F: Bildrate ein/aus"},
    };
    return entries;
}

const Entries& screenLanguageEntries() {
    static const Entries entries = {
        {"caption", "Bildschirm Einstellungen"},
        {"displaymodetext", "Bildschirmmodus"},
        {"leaveresolution", "Aktuelle Auflösung beibehalten"},
        {"bitsperpixel", "Farbtiefe:"},
        {"resolution", "Auflösung:"},
        {"shadesecondary", "Weitere Bildschirme abdunkeln"},
        {"OK", "OK"},
        {"cancel", "Abbrechen"},
    };
    return entries;
}

bool addDat(GeneratedFiles& folder, const char* path, const Entries& entries) {
    DatWriter writer;
    writer.section("GER");
    for (const auto& [key, value] : entries)
        if (!writer.entry(key, value)) return false;
    return folder.add(path, writer.bytes());
}

}  // namespace

bool TextGenerator::generate(GeneratedFiles& folder) const {
    return addDat(folder, "Directory.dat", directoryEntries()) &&
           addDat(folder, "Language.dat", languageEntries()) &&
           addDat(folder, "ScreenLanguage.dat", screenLanguageEntries());
}

}  // namespace reef::tools
