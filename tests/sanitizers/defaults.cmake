# The sanitizer build: every program of the build (game, picture generator, tests, test helpers)
# gets the project's sanitizer settings compiled in (defaults.cpp), so any way of running them
# uses the same checks and suppressions. Included last by the top-level CMakeLists.txt, when all
# targets exist.
add_library(trotix_sanitizer_defaults OBJECT ${CMAKE_CURRENT_LIST_DIR}/defaults.cpp)
target_compile_definitions(trotix_sanitizer_defaults PRIVATE
  TROTIX_LSAN_SUPPRESSIONS="${CMAKE_CURRENT_LIST_DIR}/lsan.supp")

function(trotix_add_sanitizer_defaults dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
      target_sources(${target} PRIVATE $<TARGET_OBJECTS:trotix_sanitizer_defaults>)
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir IN LISTS subdirs)
    trotix_add_sanitizer_defaults(${subdir})
  endforeach()
endfunction()
trotix_add_sanitizer_defaults(${CMAKE_SOURCE_DIR})
