# Makes a delay-load import library for one system DLL from MinGW's ordinary
# import library: every function it exports, so that whatever the programs
# call is found here and never falls through to a load-time import.
#   cmake -DNM=... -DDLLTOOL=... -DIMPORT_LIB=libuser32.a -DDLL=user32.dll -DOUTPUT=libuser32_delay.a -P delay_import.cmake
execute_process(COMMAND "${NM}" -g --defined-only "${IMPORT_LIB}"
  OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${NM} cannot read ${IMPORT_LIB}")
endif()
string(REGEX MATCHALL "[^\n]+ I __imp_[A-Za-z0-9_@?$]+" imports "${symbols}")
set(exports "")
foreach(line ${imports})
  string(REGEX REPLACE ".* I __imp_" "" name "${line}")
  list(APPEND exports "${name}")
endforeach()
list(REMOVE_DUPLICATES exports)
list(SORT exports)
if(NOT exports)
  message(FATAL_ERROR "no exports found in ${IMPORT_LIB}")
endif()
list(JOIN exports "\n" body)
set(def "${OUTPUT}.def")
file(WRITE "${def}" "LIBRARY ${DLL}\nEXPORTS\n${body}\n")
execute_process(COMMAND "${DLLTOOL}" --input-def "${def}" --dllname "${DLL}" --output-delaylib "${OUTPUT}"
  RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${DLLTOOL} failed for ${DLL}")
endif()
