# gc_add_layer(<target> <folder> PUBLIC_LIBS <libs...>)
# Makes one library of the .cpp files directly in <folder>. A folder that has
# no sources yet becomes an interface library, so later layers can already
# link against it.
function(gc_add_layer target folder)
  cmake_parse_arguments(ARG "" "" "PUBLIC_LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  # Headers are listed too, so that a new header with Q_OBJECT reaches the
  # meta-object compiler in an existing build folder, not only in a fresh one.
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.h)
  if(sources)
    add_library(${target} STATIC ${sources} ${headers})
    target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${ARG_PUBLIC_LIBS})
    set_target_properties(${target} PROPERTIES AUTOMOC ON)
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${ARG_PUBLIC_LIBS})
  endif()
endfunction()
