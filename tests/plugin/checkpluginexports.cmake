# Fails unless MODULE exports exactly main, the seven TonaroExtension entry
# points and their Ext_ forwarders. Run as:
#   cmake -DMODULE=<file> -DNM=<nm> -P checkpluginexports.cmake
if(NOT MODULE OR NOT NM)
  message(FATAL_ERROR "MODULE and NM must be given")
endif()
execute_process(COMMAND ${NM} -D --defined-only ${MODULE} OUTPUT_VARIABLE dynamic RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "nm failed on ${MODULE}")
endif()
string(REGEX MATCHALL "[^\n]+" rows "${dynamic}")
set(names "")
foreach(row ${rows})
  string(REGEX REPLACE "^.* " "" name "${row}")
  list(APPEND names ${name})
endforeach()
list(SORT names)
set(expected Ext_enumerate Ext_enumerate_UTF16 Ext_getmenustatus Ext_getversion Ext_init Ext_invoke
  Ext_terminate TonaroExtensionEnumerate TonaroExtensionEnumerate_UTF16 TonaroExtensionGetMenuStatus
  TonaroExtensionInit TonaroExtensionInvoke TonaroExtensionTerminate TonaroExtensionVersion main)
list(SORT expected)
if(NOT "${names}" STREQUAL "${expected}")
  message(FATAL_ERROR "exports of ${MODULE} are\n  ${names}\nexpected\n  ${expected}")
endif()
message(STATUS "only the entry points are exported from ${MODULE}")
