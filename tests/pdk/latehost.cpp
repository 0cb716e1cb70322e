// A module that a bridge test loads after the bridge has bound the main
// program: it exports two host functions, so that the test can tell a
// function looked up before the load (never retried) from one looked up after.
#include <cstdint>

extern "C" {

__attribute__((visibility("default"))) int16_t FX_GetMaxLayers(uint32_t /*version*/)
{
    return 4;
}

__attribute__((visibility("default"))) int16_t FX_GetShowLayer(int16_t layer, uint32_t /*version*/)
{
    return static_cast<int16_t>(layer + 100);
}

}  // extern "C"
