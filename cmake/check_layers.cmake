# Fails when a source file includes a header of a layer above its own, or when Qt is included
# outside the Qt windows and the windowed mains. Run as a test:
#   cmake -DSOURCE_DIR=<repository> -P check_layers.cmake
# Each rule: a folder, then the include prefixes its files must not use.
set(rules
  "src/platform|imaging/ settings/ ui/ gallery/ app/"
  "src/imaging|settings/ ui/ gallery/ app/"
  "src/settings|gallery/ app/"
  "src/ui|gallery/ app/"
  "src/gallery|app/"
  "tools|gallery/ app/")

set(faults "")
foreach(rule IN LISTS rules)
  string(REPLACE "|" ";" parts "${rule}")
  list(GET parts 0 folder)
  list(GET parts 1 forbidden)
  string(REPLACE " " ";" forbidden "${forbidden}")
  file(GLOB_RECURSE files "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
  foreach(file IN LISTS files)
    file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS includes)
      foreach(prefix IN LISTS forbidden)
        if(line MATCHES "\"${prefix}")
          file(RELATIVE_PATH name "${SOURCE_DIR}" "${file}")
          list(APPEND faults "${name}: ${line}")
        endif()
      endforeach()
    endforeach()
  endforeach()
endforeach()

file(GLOB_RECURSE sources "${SOURCE_DIR}/src/*.h" "${SOURCE_DIR}/src/*.cpp")
foreach(file IN LISTS sources)
  if(file MATCHES "/src/ui/qt/" OR file MATCHES "_main\\.cpp$")
    continue()
  endif()
  file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*<Q")
  foreach(line IN LISTS includes)
    file(RELATIVE_PATH name "${SOURCE_DIR}" "${file}")
    list(APPEND faults "${name}: ${line} (Qt belongs to src/ui/qt and the windowed mains)")
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "Includes against the layers:\n  ${text}")
endif()
