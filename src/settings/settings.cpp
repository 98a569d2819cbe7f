#include "settings/settings.h"

#include <algorithm>
#include <array>
#include <string>

#include "platform/text.h"
#include "settings/settings_store.h"

namespace albumora {
namespace {

using F = FieldKind;

constexpr const char* kPhotos = "FotosAllgemein";
constexpr const char* kWebsite = "WebseiteAllgemein";  // the keys spell it "WebSeite"
constexpr const char* kMetaTag = "Meta_Tag";
constexpr const char* kCss = "CSS";

// In the order of the file's lines.
constexpr SettingsField kFields[] = {
    {"#FotosAllgemein_Quellverzeichnis_String", kPhotos, 13, F::kPath},
    {"#FotosAllgemein_Zielverzeichnis_String", kPhotos, 14, F::kPath},
    {"#FotosAllgemein_OriginalDownload_CheckBox", kPhotos, 32, F::kFlag},
    {"#FotosAllgemein_OriginalHeimserver_CheckBox", kPhotos, 33, F::kFlag},
    {"#FotosAllgemein_KlQuali_TrackBar", kPhotos, 24, F::kStep, 0, 10, 26},
    {"#FotosAllgemein_GrQuali_TrackBar", kPhotos, 25, F::kStep, 0, 10, 27},
    {"#FotosAllgemein_PixelKl_Spin", kPhotos, 28, F::kNumber, 150, 440},
    {"#FotosAllgemein_PixelGr_Spin", kPhotos, 29, F::kNumber, 440, 1024},
    {"#FotosAllgemein_ShopModul_CheckBox", kPhotos, 11, F::kFlag},
    {"#FotosAllgemein_NurKleineFotos_CheckBox", kPhotos, 36, F::kFlag},
    {"#FotosAllgemein_NurGrosseFotos_CheckBox", kPhotos, 37, F::kFlag},
    {"#FotosAllgemein_KeineWebseitenErstellen_CheckBox", kPhotos, 38, F::kFlag},
    {"#FotosAllgemein_MetaTag_CheckBox", kPhotos, 34, F::kFlag},
    {"#WebSeiteAllgemein_Html_Radio", kWebsite, 41, F::kOption},
    {"#WebSeiteAllgemein_PHP_Radio", kWebsite, 42, F::kOption},
    {"#WebSeiteAllgemein_Waehle_kleine_Vorlage_String", kWebsite, 44, F::kPath},
    {"#WebSeiteAllgemein_Waehle_grosse_Vorlage_String", kWebsite, 54, F::kPath},
    {"#WebSeiteAllgemein_AnzahlDerFotos_Spin", kWebsite, 47, F::kChoice},
    {"#WebSeiteAllgemein_Ueberschrift_String", kWebsite, 51, F::kText},
    {"#WebSeiteAllgemein_SeitenName_String", kWebsite, 52, F::kText},
    {"#WebSeiteAllgemein_Webalbum_CheckBox", kWebsite, 57, F::kFlag},
    {"#WebSeiteAllgemein_Webalbum_Vorlage_String", kWebsite, 59, F::kPath},
    {"#WebSeiteAllgemein_Diashow_CheckBox", kWebsite, 62, F::kFlag},
    {"#WebSeiteAllgemein_Diashow_Spin", kWebsite, 63, F::kNumber, 5, 60},
    {"#MetaTag_Description_String", kMetaTag, 75, F::kText},
    {"#MetaTag_Titel_String", kMetaTag, 76, F::kText},
    {"#MetaTag_Author_String", kMetaTag, 77, F::kText},
    {"#MetaTag_Publisher_String", kMetaTag, 78, F::kText},
    {"#MetaTag_RobotsErlauben_CheckBox", kMetaTag, 79, F::kFlag},
    {"#MetaTag_RevalTrans_CheckBox", kMetaTag, 80, F::kFlag},
    {"#MetaTag_BlendTrans_CheckBox", kMetaTag, 81, F::kFlag},
    {"#CSS_DateiAuswaehlen_String", kCss, 70, F::kPath},
    {"#CSS_Extern_CheckBox", kCss, 72, F::kFlag},
};

// The order in which LoadSettings fills the controls. It differs from the file's order; within
// the web-site group, option 42 comes after 41, so a file that selects both ends with PHP.
constexpr int kLoadOrder[] = {
    13, 14, 32, 33, 24, 25, 28, 29, 11, 36, 37, 38, 34,  // FotosAllgemein
    44, 54, 51, 52, 41, 42, 47, 57, 59, 62, 63,          // WebseiteAllgemein
    75, 76, 77, 78, 79, 80, 81,                          // Meta_Tag
    70, 72,                                              // CSS
};
static_assert(std::size(kLoadOrder) == std::size(kFields));

bool IsTextKind(FieldKind kind) {
  return kind == F::kText || kind == F::kPath || kind == F::kChoice;
}

void LoadField(const SettingsStore& store, const SettingsField& field, Controls& controls) {
  if (IsTextKind(field.kind)) {
    controls.SetControlText(field.control, store.ReadText(field.key));
    return;
  }
  controls.SetControlState(field.control, store.ReadNumber(field.key, 0));
  if (field.kind == F::kStep) {
    const int step = controls.GetControlState(field.control);
    controls.SetControlText(field.label, Decimal(step * 10) + "%");
  } else if (field.kind == F::kNumber) {
    // The spin's field shows the stored text, not the clamped value: a 100 stays "100" on
    // screen while the value is 150.
    controls.SetControlText(field.control, store.ReadText(field.key));
  }
}

}  // namespace

std::span<const SettingsField> SettingsFields() { return kFields; }

const SettingsField* FindSettingsField(int control) {
  const auto* found =
      std::find_if(std::begin(kFields), std::end(kFields),
                   [control](const SettingsField& f) { return f.control == control; });
  return found == std::end(kFields) ? nullptr : found;
}

void LoadSettingsFrom(SettingsStore& store, Controls& controls) {
  std::string_view group;
  for (const int control : kLoadOrder) {
    const SettingsField& field = *FindSettingsField(control);
    if (field.group != group) {
      group = field.group;
      store.SelectGroup(group);
    }
    LoadField(store, field, controls);
  }
}

void SaveSettingsTo(SettingsStore& store, const Controls& controls) {
  std::string_view group;
  for (const SettingsField& field : kFields) {
    if (field.group != group) {
      group = field.group;
      store.SelectGroup(group);
    }
    if (IsTextKind(field.kind)) {
      store.WriteText(field.key, controls.GetControlText(field.control));
    } else {
      store.WriteNumber(field.key, controls.GetControlState(field.control));
    }
  }
}

void LoadSettings(Controls& controls, std::string_view file) {
  SettingsStore store;
  store.OpenForReading(file);  // an unreadable file reads as defaults
  LoadSettingsFrom(store, controls);
  store.CloseStore();
}

void SaveSettings(const Controls& controls, std::string_view file) {
  SettingsStore store;
  store.CreateForWriting(file);
  SaveSettingsTo(store, controls);
  store.CloseStore();  // a file that cannot be replaced stays as it was, silently
}

}  // namespace albumora
