// Script lines (script files come from other players): options, filter fields and the line editor.
#include "fuzzutil.h"
#include "scripts/scriptfile.h"
#include "scripts/scriptline.h"
#include "stats/statlist.h"

using namespace quintar;

namespace {
struct Codes : IStatCodes {
  explicit Codes(const TStatList& l) : list(l) {}
  int Count() const override { return list.Count(); }
  std::string Code(int i) const override { return list.CodeOf(i); }
  const TStatList& list;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TStatList stats = [] {
    TStatList s;
    s.BuildCatalogue();
    return s;
  }();
  static Codes codes(stats);
  for (const std::string& line : ScriptTextLines(fuzz::Bytes(data, size))) {
    const TScriptOptions o = TextToScriptOptions(ScriptLineField(line, kOptionsField));
    (void)ScriptOptionsToText(o);
    (void)ScriptOptionsCaption(o);
    for (int i = 0; i < kStepFilters; ++i) {
      const TFilterItem item = TextToFilterItem(ScriptLineField(line, kFirstFilterField + i), codes);
      (void)FilterItemToText(item, codes);
    }
    (void)ScriptEditorLine(ScriptEditorFields(line, 10));
  }
  return 0;
}
