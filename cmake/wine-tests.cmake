# The end-to-end tests: Windows-side GoogleTest programs from the mingw build, run under Wine
# on Xvfb by scripts/wine-harness.sh. One private Wine prefix serves the whole run.
set(OMNITAP_MINGW_DIR "${CMAKE_SOURCE_DIR}/build/mingw" CACHE PATH "The mingw build tree")
set(harness "${CMAKE_SOURCE_DIR}/scripts/wine-harness.sh")
set(prefix "${CMAKE_BINARY_DIR}/wine-prefix")

add_test(NAME e2e.prefix.create COMMAND ${harness} create-prefix ${prefix})
set_tests_properties(e2e.prefix.create PROPERTIES FIXTURES_SETUP wine LABELS e2e)
add_test(NAME e2e.prefix.remove COMMAND ${harness} remove-prefix ${prefix})
set_tests_properties(e2e.prefix.remove PROPERTIES FIXTURES_CLEANUP wine LABELS e2e)

file(GLOB e2e_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*_test.cpp)
foreach(source IN LISTS e2e_sources)
  get_filename_component(name ${source} NAME_WE)
  add_test(NAME e2e.${name}
           COMMAND ${harness} run ${prefix} ${OMNITAP_MINGW_DIR}/bin/${name}.exe)
  set_tests_properties(e2e.${name} PROPERTIES FIXTURES_REQUIRED wine LABELS e2e TIMEOUT 600
                       RESOURCE_LOCK wine)
endforeach()

# Thirty idle seconds, measured from Linux.
add_test(NAME e2e.idle COMMAND ${harness} exec ${prefix} ${CMAKE_SOURCE_DIR}/scripts/idle-check.sh
         ${OMNITAP_MINGW_DIR}/bin/omnitap.exe 30)
set_tests_properties(e2e.idle PROPERTIES FIXTURES_REQUIRED wine LABELS e2e TIMEOUT 180 RESOURCE_LOCK wine)

# A held volume key runs the repeat timer, and a learned key's release stops it.
add_test(NAME e2e.volume_repeat COMMAND ${harness} exec ${prefix} ${CMAKE_SOURCE_DIR}/scripts/repeat-check.sh
         ${OMNITAP_MINGW_DIR}/bin)
set_tests_properties(e2e.volume_repeat PROPERTIES FIXTURES_REQUIRED wine LABELS e2e TIMEOUT 180 RESOURCE_LOCK wine)
