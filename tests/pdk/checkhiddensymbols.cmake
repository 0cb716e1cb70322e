# Fails unless MODULE contains the bridge's FX_ functions but exports none of
# them. Run as: cmake -DMODULE=<file> -DNM=<nm> -P checkhiddensymbols.cmake
if(NOT MODULE OR NOT NM)
  message(FATAL_ERROR "MODULE and NM must be given")
endif()

execute_process(COMMAND ${NM} -D --defined-only ${MODULE}
  OUTPUT_VARIABLE dynamic RESULT_VARIABLE dynamic_result)
execute_process(COMMAND ${NM} --defined-only ${MODULE}
  OUTPUT_VARIABLE all RESULT_VARIABLE all_result)
if(NOT dynamic_result EQUAL 0 OR NOT all_result EQUAL 0)
  message(FATAL_ERROR "nm failed on ${MODULE}")
endif()

# The module's own entry point is exported: the dynamic table was read.
if(NOT dynamic MATCHES "pdk_bridge_probe_entry")
  message(FATAL_ERROR "the module's entry point is not among its exports")
endif()
# The bridge is linked in (as local symbols)...
foreach(name FX_LoadEData FX_SaveTGF FX_StartTonaroEdit FX_GetMaxLayers)
  if(NOT all MATCHES "[ \t]${name}\n")
    message(FATAL_ERROR "${name} is not in the module at all")
  endif()
endforeach()
# ...but none of its FX_ functions is exported.
string(REGEX MATCHALL "[ \t]FX_[A-Za-z0-9_]*\n" leaked "${dynamic}")
if(leaked)
  message(FATAL_ERROR "exported from the module: ${leaked}")
endif()
message(STATUS "no bridge function is exported from ${MODULE}")
