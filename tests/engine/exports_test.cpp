// The engine library exports every host function by its C name, as a
// plug-in's bridge resolves them at run time, and nothing binds them to a
// same-named function elsewhere.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace {

std::set<std::string> DeclaredHostFunctions()
{
    std::ifstream header(TONARO_FXFUNCTIONS_HEADER);
    std::stringstream text;
    text << header.rdbuf();
    const std::string source = text.str();
    std::set<std::string> names;
    // Each declaration: TONARO_FX_API <result> FX_<name>(...
    for (size_t at = source.find("TONARO_FX_API"); at != std::string::npos;
         at = source.find("TONARO_FX_API", at + 1)) {
        const size_t paren = source.find('(', at);
        const size_t name = source.rfind("FX_", paren);
        if (paren == std::string::npos || name == std::string::npos || name < at) continue;
        names.insert(source.substr(name, paren - name));
    }
    return names;
}

}  // namespace

TEST(EngineExports, EveryDeclaredHostFunctionResolvesByName)
{
    const std::set<std::string> names = DeclaredHostFunctions();
    // The declarations are the contract; a parse that finds few would prove nothing.
    ASSERT_GE(names.size(), 35u);
    for (const char* required : {"FX_PreviousEData", "FX_IsMachO", "FX_MidiNoteToString", "FX_GetCurrentWindowInfo",
                                 "FX_ScrollTo", "FX_SelectionDialog", "FX_FontNameToNum", "FX_SymbolDialog",
                                 "FX_SymbolDialog_UTF32", "FX_GetTonaroPathMac", "FX_StartTonaroEdit_UTF16"})
        EXPECT_TRUE(names.count(required)) << required;

    void* engine = dlopen(TONARO_ENGINE_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(engine, nullptr) << dlerror();
    for (const std::string& name : names) EXPECT_NE(dlsym(engine, name.c_str()), nullptr) << name;
    dlclose(engine);
}

TEST(EngineExports, InternalHelpersStayHidden)
{
    void* engine = dlopen(TONARO_ENGINE_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(engine, nullptr) << dlerror();
    // The record protocol's internals are not part of the interface.
    EXPECT_EQ(dlsym(engine, "_ZN12tonaroengine8LoadDataERKNS_13DocumentStateEjPKtPvPjj"), nullptr);
    EXPECT_EQ(dlsym(engine, "FX_NoSuchFunction"), nullptr);
    dlclose(engine);
}
