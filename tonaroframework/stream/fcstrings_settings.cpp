// FCStrings::CreateSettingsPairs: settings pairs from the lines of a file.

#include "tonaroframework/base/fcstrings.h"
#include "tonaroframework/stream/fcsettingspair.h"
#include "tonaroframework/stream/fcsettingspairs.h"

FCSettingsPairs* FCStrings::CreateSettingsPairs() const
{
    auto* pairs = new FCSettingsPairs();
    FCString key;
    FCString value;
    for (int i = 0; i < GetCount(); ++i) {
        const FCString* line = GetItemAt(i);
        if (!line) continue;
        // A line carries a pair when its first "=" has a key before it; the
        // value may itself hold "=".
        const int equals = line->FindFirst("=");
        if (equals <= 0) continue;
        line->MakeSubString(0, static_cast<uint32_t>(equals), &key);
        value.Clear();
        line->MakeSubString(static_cast<uint32_t>(equals) + 1, line->GetLength(), &value);
        pairs->Add(new FCSettingsPair(&key, &value));
    }
    return pairs;
}
