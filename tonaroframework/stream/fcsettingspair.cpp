#include "tonaroframework/stream/fcsettingspair.h"

FCSettingsPair::FCSettingsPair(const FCString* key, const FCString* value)
{
    _key.SetString(key);
    _key.TrimWhitespace();
    _value.SetString(value);
    _value.TrimWhitespace();
}
