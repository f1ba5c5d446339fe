# cmake -DROOT=<source dir> -P check-layers.cmake
cmake_minimum_required(VERSION 3.25)
# Every project include of every layered folder must name a folder that the folder may use.
# Fails with the offending lines.
# base/ holds the small rules that any folder may use (rounding, retrying) and uses nothing.
# The action catalogue says what an action is and uses nothing: the key table, the hook, the
# player and the windows all read its rows.
set(allowed_ports "")
set(allowed_base "")
set(allowed_catalogue "")
set(allowed_text "")
set(allowed_keys "base;catalogue;ports;text")
set(allowed_hook "base;catalogue;keys;ports;text")
set(allowed_player "base;catalogue;keys;ports;text")
set(allowed_volume "base;ports;text")
set(allowed_tray "base;ports;text")
set(allowed_actions "base;catalogue;hook;keys;player;volume;ports;text")
set(allowed_forms "actions;base;catalogue;hook;keys;player;volume;tray;ports;text")
set(allowed_win32 "base;hook;keys;ports;text;resources")
set(allowed_app "win32;forms;actions;base;catalogue;hook;keys;player;volume;tray;ports;text;resources")
set(core "ports;base;catalogue;text;keys;hook;player;volume;tray;actions;forms")

set(faults "")
foreach(folder IN ITEMS app win32 ports base catalogue text keys hook player volume tray actions forms)
  file(GLOB_RECURSE files "${ROOT}/${folder}/*.h" "${ROOT}/${folder}/*.cpp")
  foreach(file IN LISTS files)
    file(STRINGS ${file} includes REGEX "^#[ \t]*include")
    file(RELATIVE_PATH name ${ROOT} ${file})
    foreach(line IN LISTS includes)
      if(line MATCHES "^#[ \t]*include[ \t]*\"([^/\"]+)/")
        set(used ${CMAKE_MATCH_1})
        if(NOT used STREQUAL folder AND NOT used IN_LIST allowed_${folder})
          string(APPEND faults "  ${name}: ${line} (${folder}/ may not use ${used}/)\n")
        endif()
      elseif(line MATCHES "<(windows|winuser|winbase|shellapi|mmsystem|commctrl|objbase)\\.h>"
             AND folder IN_LIST core)
        string(APPEND faults "  ${name}: ${line} (the core never includes system headers)\n")
      endif()
    endforeach()
  endforeach()
endforeach()
if(faults)
  message(FATAL_ERROR "Includes against the layers:\n${faults}")
endif()
