# The component's layers and the test builds of libraries with test seams.
#
# Each folder of the component (src/framework, src/objects, src/soap,
# src/access) is one layer: a static library, position-independent and with
# hidden visibility, that the component's shared library takes in whole. A
# layer's folder is on its own include path and on that of whatever links it
# (the layers above, the tests of it), never on the path of a layer below, so
# an include that climbs back up does not compile. include/ comes with the
# platform library, to every layer.
#
# A library with test seams (an API for tests, a fault switch) has a second,
# test build. Programs and test-support libraries with the property
# ZU_TEST_SEAMS set (tests/, bench/) link the test build wherever the
# production one is named through zu_layer, zu_link_seamed or zu_test; every
# other program, and the component's shared library, link the production one.

# zu_seamed_items(<var> <items...>): the link items, each library that has a
# test build replaced by a choice of the two made per consuming program.
function(zu_seamed_items var)
  set(items)
  foreach(item IN LISTS ARGN)
    if(TARGET ${item})
      get_target_property(test_build ${item} ZU_TEST_BUILD)
      if(test_build)
        set(item "$<IF:$<BOOL:$<TARGET_PROPERTY:ZU_TEST_SEAMS>>,${test_build},${item}>")
      endif()
    endif()
    list(APPEND items "${item}")
  endforeach()
  set(${var} "${items}" PARENT_SCOPE)
endfunction()

# zu_link_seamed(<target> <PUBLIC|PRIVATE|INTERFACE> <items...>)
# target_link_libraries with zu_seamed_items applied.
function(zu_link_seamed target scope)
  zu_seamed_items(items ${ARGN})
  target_link_libraries(${target} ${scope} ${items})
endfunction()

# zu_set_test_build(<target> <test-target>): names <test-target> as the test
# build of <target>.
function(zu_set_test_build target test_target)
  set_property(TARGET ${target} PROPERTY ZU_TEST_BUILD ${test_target})
endfunction()

function(_zu_layer_properties target depends)
  set_target_properties(${target} PROPERTIES
    POSITION_INDEPENDENT_CODE ON CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  zu_link_seamed(${target} PUBLIC ${depends})
endfunction()

# zu_layer(<target> [DEPENDS <libraries...>])
# The layer of the current folder, with the layers and libraries it builds on;
# the folder adds its sources with target_sources(<target> PRIVATE ...).
function(zu_layer target)
  cmake_parse_arguments(L "" "" "DEPENDS" ${ARGN})
  add_library(${target} STATIC)
  _zu_layer_properties(${target} "${L_DEPENDS}")
  set_property(TARGET ${target} PROPERTY ZU_LAYER_DEPENDS "${L_DEPENDS}")
endfunction()

# zu_layer_test_build(<target> <test-target> DEFINITIONS <definitions...>)
# A test build of the layer: the same sources, compiled with the definitions
# that switch its test seams on (they go to the tests too). Call it in the
# layer's folder once all its sources are added.
function(zu_layer_test_build target test_target)
  cmake_parse_arguments(T "" "" "DEFINITIONS" ${ARGN})
  get_target_property(sources ${target} SOURCES)
  get_target_property(depends ${target} ZU_LAYER_DEPENDS)
  add_library(${test_target} STATIC ${sources})
  _zu_layer_properties(${test_target} "${depends}")
  target_compile_definitions(${test_target} PUBLIC ${T_DEFINITIONS})
  zu_set_test_build(${target} ${test_target})
endfunction()
