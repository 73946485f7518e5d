#include "tools/TextGenerator.h"

#include <utility>
#include <vector>

#include "tools/DatWriter.h"

namespace reef::tools {
namespace {

// One text in both languages: German and English.
struct Text {
    const char* key;
    const char* german;
    const char* english;
};
using Texts = std::vector<Text>;

const Texts& directoryTexts() {
    // The registry path and the picture are the same in every language: the
    // settings must not depend on the locale a person happens to run in.
    static const Texts texts = {
        {"win32reg", "Software\\ReefSaver\\Settings", "Software\\ReefSaver\\Settings"},
        {"appname_long", "ReefSaver Korallenriff", "ReefSaver Coral Reef"},
        {"mainbitmap", kIntroPicture, kIntroPicture},
    };
    return texts;
}

const Texts& languageTexts() {
    static const Texts texts = {
        // Main dialog and its page list.
        {"caption", "Einstellungen", "Settings"},
        {"OK", "OK", "OK"},
        {"cancel", "Abbrechen", "Cancel"},
        {"screensettings", "Bildschirmeinstellungen", "Screen settings"},
        {"savefailed",
         "Die Einstellungen konnten nicht gespeichert werden: der Ordner der Einstellungsdatei ist nicht "
         "beschreibbar. Bitte prüfen Sie die Zugriffsrechte oder brechen Sie ab.",
         "The settings could not be saved because the folder of the settings file is not writable. "
         "Please check its permissions, or cancel."},
        {"intro", "Willkommen", "Welcome"},
        {"boid", "Schwarm", "School"},
        {"fish", "Fische", "Fish"},
        {"birds", "Vögel", "Birds"},
        {"animals", "Tiere", "Animals"},
        {"diverse", "Verschiedenes", "More"},
        {"sky", "Himmel", "Sky"},
        {"camera", "Kamera", "Camera"},
        {"sound", "Sound", "Sound"},
        // Intro page: the link opens the README that ships with the programs.
        {"infotxt",
         "Lust auf mehr? Tauchen Sie ein in ein tropisches Riff\r\n"
         "mit Fischschwärmen, Schildkröten und Mantas.",
         "Curious? Dive into a tropical reef\r\n"
         "with schools of fish, turtles and manta rays."},
        {"hyperlink", kReadmeName, kReadmeName},
        {"hyperlink_txt", "Anleitung (README)", "Guide (README)"},
        // Set pages.
        {"boidtype", "Art", "Species"},
        {"boidcount", "Anzahl", "Number"},
        {"fishtype", "Arten", "Species"},
        {"fishcount", "Anzahl", "Number"},
        {"birdtype", "Arten", "Species"},
        {"gulls", "Möwen über der Insel", "Gulls over the island"},
        {"animalstype", "Arten", "Species"},
        {"diversetype", "Arten", "Species"},
        // Sky, camera and sound pages.
        {"skytext", "Himmel", "Sky"},
        {"cloudy", "bewölkt", "Cloudy"},
        {"cloudless", "wolkenlos", "Clear"},
        {"cameratext", "Kamera", "Camera"},
        {"automatic", "automatisch", "Automatic"},
        {"top", "oben", "Looking up"},
        {"middle", "Mitte", "Straight ahead"},
        {"bottom", "unten", "Looking down"},
        {"scrollspeed", "Scroll-Geschwindigkeit:", "Tilt speed:"},
        {"resttime_top", "Verweildauer oben:", "Pause at top:"},
        {"resttime_bottom", "Verweildauer unten:", "Pause at bottom:"},
        {"soundtext", "Sound", "Sound"},
        {"on_off", "ein/aus", "Play sounds"},
        // Help overlay of the viewer.
        {"help", "F1: Hilfe", "F1: Help"},
        {"helpexpanded",
         "Tasten:\r\n"
         "Esc: Beenden\r\n"
         "Pos1: Blick zurücksetzen\r\n"
         "Pfeil hoch: Blick nach oben neigen\r\n"
         "Pfeil runter: Blick nach unten neigen\r\n"
         "Leertaste: Gittermodell ein/aus\r\n"
         "F1: Hilfe ein/aus\r\n"
         "F: Bildrate ein/aus",
         "Keys:\r\n"
         "Esc: Quit\r\n"
         "Home: Reset the view\r\n"
         "Up arrow: Tilt the view up\r\n"
         "Down arrow: Tilt the view down\r\n"
         "Space: Wireframe on/off\r\n"
         "F1: Help on/off\r\n"
         "F: Frame rate on/off"},
    };
    return texts;
}

const Texts& screenLanguageTexts() {
    static const Texts texts = {
        {"caption", "Bildschirmeinstellungen", "Screen settings"},
        {"displaymodetext", "Bildschirmmodus", "Display mode"},
        {"leaveresolution", "Aktuelle Auflösung beibehalten", "Keep the current resolution"},
        {"bitsperpixel", "Farbtiefe:", "Colour depth:"},
        {"resolution", "Auflösung:", "Resolution:"},
        {"shadesecondary", "Weitere Bildschirme abdunkeln", "Darken the other screens"},
        {"OK", "OK", "OK"},
        {"cancel", "Abbrechen", "Cancel"},
    };
    return texts;
}

// One file with a German and an English section holding the same keys. An
// empty text in either language is refused, so a text cannot go missing in one.
bool addDat(GeneratedFiles& folder, const char* path, const Texts& texts) {
    DatWriter writer;
    writer.section(kGermanSection);
    for (const Text& text : texts)
        if (*text.german == '\0' || !writer.entry(text.key, text.german)) return false;
    writer.section(kEnglishSection);
    for (const Text& text : texts)
        if (*text.english == '\0' || !writer.entry(text.key, text.english)) return false;
    return folder.add(path, writer.bytes());
}

}  // namespace

bool TextGenerator::generate(GeneratedFiles& folder) const {
    return addDat(folder, "Directory.dat", directoryTexts()) &&
           addDat(folder, "Language.dat", languageTexts()) &&
           addDat(folder, "ScreenLanguage.dat", screenLanguageTexts());
}

}  // namespace reef::tools
