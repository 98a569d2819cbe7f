#include "ui/control_table.h"

#include <algorithm>
#include <array>

namespace albumora {
namespace {

using K = ControlKind;
using P = ControlParent;

// Creation order: outside the panel first, then the tabs one after the other. Within a tab the
// order is also the keyboard tab order, so it must not be sorted by number.
constexpr ControlSpec kControls[] = {
    // Outside the panel.
    {85, K::kProgressBar, P::kWindow, 5, 358, 480, 20, "", nullptr, 0, 10},
    {86, K::kPushButton, P::kWindow, 5, 382, 125, 20, "Fotowebseite erstellen", nullptr},
    {87, K::kPushButton, P::kWindow, 185, 382, 125, 20, "Abbrechen", nullptr},
    {88, K::kPushButton, P::kWindow, 360, 382, 125, 20, "Programm beenden", nullptr},
    {89, K::kTabPanel, P::kWindow, 5, 30, 480, 325, "", nullptr},

    // Tab "Fotos Allgemein".
    {11, K::kCheckBox, P::kPhotosTab, 13, 268, 255, 20,
     "Shop Modul in die Seite einbauen: (nur mit PHP)", nullptr},
    {12, K::kFrame, P::kPhotosTab, 8, 8, 225, 55, "Quellverzeichnis:", nullptr},
    {13, K::kReadOnlyText, P::kPhotosTab, 13, 28, 185, 20, "", nullptr},
    {14, K::kReadOnlyText, P::kPhotosTab, 243, 28, 185, 20, "", nullptr},
    {15, K::kFrame, P::kPhotosTab, 238, 8, 225, 55, "Zielverzeichnis:", nullptr},
    {16, K::kPushButton, P::kPhotosTab, 203, 28, 25, 20, "...", nullptr},
    {17, K::kPushButton, P::kPhotosTab, 433, 28, 25, 20, "...", nullptr},
    {18, K::kFrame, P::kPhotosTab, 8, 73, 225, 125, "Foto Qualität:", nullptr},
    {19, K::kFrame, P::kPhotosTab, 238, 73, 225, 125, "Foto Bildgröße:", nullptr},
    {20, K::kLabel, P::kPhotosTab, 13, 93, 215, 20, "Kleines Foto:", nullptr},
    {21, K::kLabel, P::kPhotosTab, 13, 143, 215, 20, "Großes Foto:", nullptr},
    {22, K::kLabel, P::kPhotosTab, 243, 93, 215, 20, "Kleines Foto:", nullptr},
    {23, K::kLabel, P::kPhotosTab, 243, 143, 215, 20, "Großes Foto:", nullptr},
    {24, K::kSlider, P::kPhotosTab, 13, 118, 180, 20, "", nullptr, 0, 10},
    {25, K::kSlider, P::kPhotosTab, 13, 168, 180, 20, "", nullptr, 0, 10},
    {26, K::kLabel, P::kPhotosTab, 198, 118, 30, 20, "100%", nullptr},
    {27, K::kLabel, P::kPhotosTab, 198, 168, 30, 20, "100%", nullptr},
    {28, K::kSpin, P::kPhotosTab, 243, 118, 60, 20, "", nullptr, 150, 440},
    {29, K::kSpin, P::kPhotosTab, 243, 168, 60, 20, "", nullptr, 440, 1024},
    {30, K::kLabel, P::kPhotosTab, 308, 118, 60, 20, "In Pixel", nullptr},
    {31, K::kLabel, P::kPhotosTab, 308, 168, 60, 20, "In Pixel", nullptr},
    {84, K::kFrame, P::kPhotosTab, 8, 198, 265, 95, "", nullptr},
    {32, K::kCheckBox, P::kPhotosTab, 13, 208, 255, 20,
     "Original Fotos zum Download anbieten:", nullptr},
    {33, K::kCheckBox, P::kPhotosTab, 13, 228, 255, 20,
     "Original Fotos befinden sich auf dem Heim-Server:", nullptr},
    {34, K::kCheckBox, P::kPhotosTab, 13, 248, 255, 20, "Meta Tag's verwenden:", nullptr},
    {35, K::kFrame, P::kPhotosTab, 278, 198, 185, 95, "", nullptr},
    {36, K::kCheckBox, P::kPhotosTab, 283, 208, 175, 20, "nur kleine Fotos erstellen", nullptr},
    {37, K::kCheckBox, P::kPhotosTab, 283, 228, 175, 20, "nur große Fotos erstellen", nullptr},
    {38, K::kCheckBox, P::kPhotosTab, 283, 248, 175, 20, "keine Webseite erstellen", nullptr},

    // Tab "Webseite Allgemein".
    {39, K::kFrame, P::kWebsiteTab, 8, 13, 225, 75,
     "Wie soll die Webseite erstellt werden:", nullptr},
    {43, K::kFrame, P::kWebsiteTab, 238, 13, 225, 75, "Vorlage für die kleinen Fotos:", nullptr},
    {44, K::kReadOnlyText, P::kWebsiteTab, 243, 33, 160, 20, "Wähle eine Vorlage:", nullptr},
    {45, K::kPushButton, P::kWebsiteTab, 405, 33, 25, 20, "...", nullptr},
    {46, K::kPushButton, P::kWebsiteTab, 435, 33, 25, 20, "V", nullptr},
    {47, K::kDropDownList, P::kWebsiteTab, 243, 58, 40, 20, "", nullptr},
    {48, K::kLabel, P::kWebsiteTab, 293, 58, 160, 20, "Anzahl der Fotos untereinander:", nullptr},
    {49, K::kFrame, P::kWebsiteTab, 8, 93, 225, 50, "Überschrift der Webseite:", nullptr},
    {50, K::kFrame, P::kWebsiteTab, 8, 150, 225, 50, "Fenster Titel:", nullptr},
    {51, K::kEditText, P::kWebsiteTab, 13, 113, 215, 20, "", nullptr},
    {52, K::kEditText, P::kWebsiteTab, 13, 170, 215, 20, "", nullptr},
    {53, K::kFrame, P::kWebsiteTab, 238, 93, 225, 50,
     "Vorlage für die Vergrößerung der Fotos:", nullptr},
    {54, K::kReadOnlyText, P::kWebsiteTab, 243, 113, 160, 20,
     "Vorlage für die Vergrößerung:", nullptr},
    {55, K::kPushButton, P::kWebsiteTab, 405, 113, 25, 20, "...", nullptr},
    {56, K::kPushButton, P::kWebsiteTab, 435, 113, 25, 20, "V", nullptr},
    {61, K::kFrame, P::kWebsiteTab, 238, 150, 225, 70, "Webalbum und Diashow:", nullptr},
    {57, K::kCheckBox, P::kWebsiteTab, 243, 168, 175, 20, "Webalbum ja/nein", nullptr},
    {62, K::kCheckBox, P::kWebsiteTab, 243, 190, 60, 20, "Diashow", nullptr},
    {63, K::kSpin, P::kWebsiteTab, 330, 190, 40, 20, "", nullptr, 5, 60},
    {64, K::kLabel, P::kWebsiteTab, 375, 194, 70, 20, "Zeit pro Foto:", nullptr},
    {58, K::kFrame, P::kWebsiteTab, 238, 225, 225, 70, "Webalbum Steuersymbole:", nullptr},
    {59, K::kReadOnlyText, P::kWebsiteTab, 243, 265, 185, 20,
     "Vorlage für die Steuerelemente:", nullptr},
    {60, K::kPushButton, P::kWebsiteTab, 433, 265, 25, 20, "...", nullptr},
    {65, K::kFrame, P::kWebsiteTab, 8, 225, 225, 70, "Bilderrahmen:", nullptr},
    {68, K::kCheckBox, P::kWebsiteTab, 13, 240, 80, 20, "Bilderrahmen:", nullptr},
    {66, K::kReadOnlyText, P::kWebsiteTab, 13, 265, 185, 20, "Wähle eine Vorlage:", nullptr},
    {67, K::kPushButton, P::kWebsiteTab, 203, 265, 25, 20, "...", nullptr},
    {40, K::kContainer, P::kWebsiteTab, 13, 33, 215, 50, "", nullptr},
    // 41 sits one pixel above the container's top edge.
    {41, K::kOption, P::kContainer40, 4, -1, 210, 20, "Html Datei", nullptr},
    {42, K::kOption, P::kContainer40, 4, 24, 210, 20, "PHP Datei", nullptr},

    // Tab "HTML Kopf".
    {73, K::kFrame, P::kHtmlHeadTab, 8, 8, 225, 285, "Meta Tag", nullptr},
    {74, K::kFrame, P::kHtmlHeadTab, 243, 8, 225, 100, "", nullptr},
    {75, K::kEditText, P::kHtmlHeadTab, 13, 33, 185, 20, "description",
     "Description (Beschreibung der Webseite)"},
    {76, K::kEditText, P::kHtmlHeadTab, 13, 58, 185, 20, "Titel",
     "Titel (Titel 'Tag' der Webseite)"},
    {77, K::kEditText, P::kHtmlHeadTab, 13, 83, 185, 20, "author", "Author (Author der Webseite)"},
    {78, K::kEditText, P::kHtmlHeadTab, 13, 108, 185, 20, "publisher",
     "Publisher (Publisher der Webseite)"},
    {79, K::kCheckBox, P::kHtmlHeadTab, 248, 33, 215, 20, "Robots erlauben", nullptr},
    {80, K::kCheckBox, P::kHtmlHeadTab, 248, 58, 215, 20, "Fließende Übergänge (nur IE)", nullptr},
    {81, K::kCheckBox, P::kHtmlHeadTab, 248, 83, 215, 20, "Ein und Ausblenden (nur IE)", nullptr},
    {69, K::kFrame, P::kHtmlHeadTab, 243, 115, 225, 78, "Externe CSS Datei auswählen:", nullptr},
    {72, K::kCheckBox, P::kHtmlHeadTab, 248, 135, 175, 20, "Externe CSS Datei verwenden", nullptr},
    {70, K::kReadOnlyText, P::kHtmlHeadTab, 248, 165, 180, 20, "", nullptr},
    {71, K::kPushButton, P::kHtmlHeadTab, 436, 165, 25, 20, "...", nullptr},
};

constexpr TabSpec kTabs[] = {
    {P::kPhotosTab, "Fotos Allgemein"},
    {P::kWebsiteTab, "Webseite Allgemein"},
    {P::kHtmlHeadTab, "HTML Kopf"},
};

constexpr const char* kRowCountItems[] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};

}  // namespace

std::span<const ControlSpec> MainWindowControls() { return kControls; }

const ControlSpec* FindControlSpec(int number) {
  const auto* found =
      std::find_if(std::begin(kControls), std::end(kControls),
                   [number](const ControlSpec& spec) { return spec.number == number; });
  return found == std::end(kControls) ? nullptr : found;
}

std::span<const TabSpec> SettingsPanelTabs() { return kTabs; }

std::span<const char* const> RowCountItems() { return kRowCountItems; }

}  // namespace albumora
