// Any bytes as a settings file: the reader, the load into in-memory controls, a save and a
// second load. The second load must give back every field exactly as the first left it, and the
// saved file must have its 37 lines. Everything stays in memory (the file side is covered by the
// unit tests), so each input costs no disk writes.
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/settings.h"
#include "settings/settings_store.h"
#include "ui/memory_controls.h"

namespace {

using albumora::FieldKind;
using albumora::MemoryControls;
using albumora::SettingsField;
using albumora::SettingsStore;

void Check(bool condition, const char* what) {
  if (!condition) {
    fprintf(stderr, "settings fuzz: %s\n", what);
    abort();
  }
}
bool IsTextKind(FieldKind kind) {
  return kind == FieldKind::kText || kind == FieldKind::kPath || kind == FieldKind::kChoice;
}

void CheckSameFields(const MemoryControls& a, const MemoryControls& b) {
  for (const SettingsField& field : albumora::SettingsFields()) {
    if (IsTextKind(field.kind)) {
      Check(a.GetControlText(field.control) == b.GetControlText(field.control), field.key);
    } else {
      Check(a.GetControlState(field.control) == b.GetControlState(field.control), field.key);
    }
  }
}

// The store on its own: a value written into whatever the bytes hold reads back as written.
void ExerciseStore(std::string_view bytes) {
  SettingsStore store;
  store.OpenFromBytes(bytes);
  store.SelectGroup("CSS");
  const std::string before = store.ReadText("#CSS_DateiAuswaehlen_String");
  store.WriteText("#CSS_DateiAuswaehlen_String", before + "x");
  store.WriteNumber("#CSS_Extern_CheckBox", store.ReadNumber("#CSS_Extern_CheckBox", 0));
  const std::string written = store.Serialise();
  SettingsStore again;
  again.OpenFromBytes(written);
  again.SelectGroup("css");
  Check(again.ReadText("#css_dateiauswaehlen_string") == before + "x", "store round trip");
}

void LoadFromBytes(std::string_view bytes, MemoryControls& controls) {
  SettingsStore store;
  store.OpenFromBytes(bytes);
  albumora::LoadSettingsFrom(store, controls);
}

std::string SaveToBytes(const MemoryControls& controls) {
  SettingsStore store;
  store.OpenFromBytes({});
  albumora::SaveSettingsTo(store, controls);
  return store.Serialise();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  ExerciseStore(bytes);

  MemoryControls first;
  LoadFromBytes(bytes, first);
  const std::string saved = SaveToBytes(first);
  Check(std::count(saved.begin(), saved.end(), '\n') == 37, "37 lines");

  MemoryControls second;
  LoadFromBytes(saved, second);
  CheckSameFields(first, second);
  Check(SaveToBytes(second) == saved, "second save differs");
  return 0;
}
