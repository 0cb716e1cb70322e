# Fails unless MODULE exports exactly main, the seven TonaroExtension entry
# points and their Ext_ forwarders as functions, and the bridge's gResFile
# and gTonaroFSSpec as data. Run as:
#   cmake -DMODULE=<file> -DNM=<nm> -P checkpluginexports.cmake
if(NOT MODULE OR NOT NM)
  message(FATAL_ERROR "MODULE and NM must be given")
endif()
execute_process(COMMAND ${NM} -D --defined-only ${MODULE} OUTPUT_VARIABLE dynamic RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "nm failed on ${MODULE}")
endif()
# Rows are "address type name"; the type tells code (T) from data (B, D).
string(REGEX MATCHALL "[^\n]+" rows "${dynamic}")
set(names "")
foreach(row ${rows})
  string(REGEX REPLACE "^.* " "" name "${row}")
  if(row MATCHES " T [^ ]+$")
    list(APPEND names "${name}:code")
  elseif(row MATCHES " [BD] [^ ]+$")
    list(APPEND names "${name}:data")
  else()
    list(APPEND names "${name}:other")
  endif()
endforeach()
list(SORT names)
set(expected "")
foreach(function Ext_enumerate Ext_enumerate_UTF16 Ext_getmenustatus Ext_getversion Ext_init Ext_invoke
    Ext_terminate TonaroExtensionEnumerate TonaroExtensionEnumerate_UTF16 TonaroExtensionGetMenuStatus
    TonaroExtensionInit TonaroExtensionInvoke TonaroExtensionTerminate TonaroExtensionVersion main)
  list(APPEND expected "${function}:code")
endforeach()
list(APPEND expected "gResFile:data" "gTonaroFSSpec:data")
list(SORT expected)
if(NOT "${names}" STREQUAL "${expected}")
  message(FATAL_ERROR "exports of ${MODULE} (name:kind) are\n  ${names}\nexpected\n  ${expected}")
endif()
message(STATUS "only the entry points and the bridge's two data symbols are exported from ${MODULE}")
