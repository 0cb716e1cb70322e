#include "tonaropdk/bridge/versionadjust.h"

#include "tonaropdk/hostapi/fxfunctions.h"
#include "tonaropdk/hostapi/recordtags.h"

namespace {

enum class VersionCondition { Always, AtMost, Above };

// One historical layout: a record of tag with a structure of size bytes is
// the layout of newVersion; the caller's version is replaced when condition
// holds against bound.
struct LayoutRule {
    EDTAG tag;
    uint32_t size;
    VersionCondition condition;
    uint32_t bound;
    uint32_t newVersion;
    const char* alert;  // developer warning shown before correcting; null for none
};

constexpr EDTAG kStaffStyleTagOld = 0x4F025353;

constexpr LayoutRule kLayoutRules[] = {
    {TAG_STAFFSTYLE, 22, VersionCondition::Always, 0, 0x05000000, nullptr},
    {TAG_STAFFSTYLE, 24, VersionCondition::AtMost, 0x05FFFFFF, 0x06000000, nullptr},
    {TAG_STAFFSTYLE, 28, VersionCondition::AtMost, 0x09FFFFFF, 0x0A000000, nullptr},
    {kStaffStyleTagOld, 22, VersionCondition::Always, 0, 0x05000000, nullptr},
    {kStaffStyleTagOld, 24, VersionCondition::AtMost, 0x05FFFFFF, 0x06000000, nullptr},
    {kStaffStyleTagOld, 28, VersionCondition::AtMost, 0x09FFFFFF, 0x0A000000, nullptr},
    {TAG_STAFFSPEC, 66, VersionCondition::Always, 0, 0x05000000, nullptr},
    {TAG_STAFFSPEC, 102, VersionCondition::Always, 0, 0x08000000, nullptr},
    {TAG_MEASURESPEC, 24, VersionCondition::Always, 0, 0x09000000, nullptr},
    {TAG_MEASURESPEC, 26, VersionCondition::AtMost, 0x09FFFFFF, 0x0A000000, nullptr},
    {TAG_CELLFRAMEHOLD, 10, VersionCondition::AtMost, 0x08FFFFFF, 0x09000000,
     "Warning to plug-in developer: EDTGfhold2004 used with wrong version parameter"},
    {TAG_CELLFRAMEHOLD, 12, VersionCondition::Above, 0x08000000, 0x08000000, nullptr},
    {TAG_TEXTBLOCK, 26, VersionCondition::AtMost, 0x08FFFFFF, 0x09000000,
     "Warning to plug-in developer: EDTTextBlock2004 used with wrong version parameter"},
    {TAG_TEXTBLOCK, 48, VersionCondition::Above, 0x08000000, 0x08000000, nullptr},
    {TAG_SHAPEEXPRESSION, 34, VersionCondition::AtMost, 0x08FFFFFF, 0x09000000,
     "Warning to plug-in developer: EDTShapeExpression2004 used with wrong version parameter"},
    {TAG_SHAPEEXPRESSION, 12, VersionCondition::Above, 0x08000000, 0x08000000, nullptr},
};

// Whether any rule names tag: most records never changed their layout, and
// their calls skip the table.
constexpr bool HasLayoutRules(EDTAG tag)
{
    switch (tag) {
    case TAG_STAFFSTYLE:
    case kStaffStyleTagOld:
    case TAG_STAFFSPEC:
    case TAG_MEASURESPEC:
    case TAG_CELLFRAMEHOLD:
    case TAG_TEXTBLOCK:
    case TAG_SHAPEEXPRESSION:
        return true;
    default:
        return false;
    }
}

constexpr bool EveryRuleTagIsListed()
{
    for (const LayoutRule& rule : kLayoutRules)
        if (!HasLayoutRules(rule.tag)) return false;
    return true;
}
static_assert(EveryRuleTagIsListed());

bool ConditionHolds(const LayoutRule& rule, uint32_t version)
{
    switch (rule.condition) {
    case VersionCondition::Always: return true;
    case VersionCondition::AtMost: return version <= rule.bound;
    case VersionCondition::Above: return version > rule.bound;
    }
    return false;
}

}  // namespace

uint32_t HandleVeltraVersion(EDTAG tag, uint32_t size, uint32_t version)
{
    if (size == 0 || !HasLayoutRules(tag)) return version;
    for (const LayoutRule& rule : kLayoutRules) {
        if (rule.tag != tag || rule.size != size) continue;
        if (!ConditionHolds(rule, version)) return version;
        if (rule.alert != nullptr) FX_AlertMessage(0, 0, 0, rule.alert, FXT_VERSION_2012);
        return rule.newVersion;
    }
    return version;
}
