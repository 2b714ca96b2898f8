# Fails when the folders stop including one another one way:
# app -> search, print, help -> view -> document. A file includes headers
# of its own folder and of the folders below it; resources/ and the headers
# named <folder>_values.h (process-wide values and constants alone) may be
# read from anywhere, so these include no header of the program and declare
# no function (no parenthesis outside a comment).
# cmake -DROOT=<source folder> -P include_order.cmake
set(rank_document 0)
set(rank_view 1)
set(rank_search 2)
set(rank_print 2)
set(rank_help 2)
set(rank_app 3)
set(faults "")
foreach(folder app search print help view document)
  file(GLOB sources ${ROOT}/${folder}/*.cpp ${ROOT}/${folder}/*.h)
  foreach(source ${sources})
    file(RELATIVE_PATH name ${ROOT} ${source})
    file(STRINGS ${source} includes REGEX "^#include \"[a-z]+/")
    foreach(line ${includes})
      string(REGEX MATCH "^#include \"([a-z]+)/([a-z_]+\\.h)\"" found "${line}")
      set(other ${CMAKE_MATCH_1})
      if(other STREQUAL folder OR other STREQUAL "resources" OR CMAKE_MATCH_2 MATCHES "_values\\.h$")
        continue()
      endif()
      if(NOT DEFINED rank_${other} OR NOT rank_${other} LESS rank_${folder})
        string(APPEND faults "\n  ${name}: ${line}")
      endif()
    endforeach()
  endforeach()
endforeach()

file(GLOB value_headers ${ROOT}/*/*_values.h)
foreach(header ${value_headers})
  file(RELATIVE_PATH name ${ROOT} ${header})
  file(STRINGS ${header} lines)
  foreach(line ${lines})
    string(REGEX REPLACE "//.*" "" code "${line}")
    if(code MATCHES "^#include \"" OR code MATCHES "[()]")
      string(APPEND faults "\n  ${name}, not values alone: ${line}")
    endif()
  endforeach()
endforeach()

if(faults)
  message(FATAL_ERROR "Includes against the order app -> search, print, help -> view -> document:${faults}")
endif()
