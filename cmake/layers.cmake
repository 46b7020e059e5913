# The core's folders as libraries, sorvela_<folder>, each linking those before
# it in CORE_LAYERS; sorvela_core is all of them. CORE_SOURCES lists every
# source, for the builds that compile the core in one piece.
set(CORE_SOURCES)
set(below)
foreach(layer ${CORE_LAYERS})
  file(GLOB_RECURSE files CONFIGURE_DEPENDS ${layer}/*.cpp ${layer}/*.h)
  # An include of a folder that comes later is a use running back up.
  foreach(file ${files})
    file(STRINGS ${file} includes REGEX "^#include \"[a-z0-9_]+/")
    foreach(line ${includes})
      string(REGEX REPLACE "^#include \"([a-z0-9_]+)/.*" "\\1" used "${line}")
      list(FIND CORE_LAYERS ${used} at)
      if(at GREATER -1 AND NOT used STREQUAL layer AND NOT used IN_LIST below)
        message(FATAL_ERROR "${file} includes ${used}/, which builds on ${layer}/: "
          "the order is ${CORE_LAYERS}")
      endif()
    endforeach()
  endforeach()

  list(FILTER files INCLUDE REGEX "\\.cpp$")
  if(layer STREQUAL "base" AND CMAKE_SYSTEM_NAME STREQUAL "Windows")
    # The system converts between its code pages; tables stand in elsewhere.
    list(FILTER files EXCLUDE REGEX "/code_page_host\\.cpp$")
    list(APPEND files ${CMAKE_SOURCE_DIR}/win32/code_page.cpp)
  endif()
  if(files)
    add_library(sorvela_${layer} STATIC ${files})
    target_include_directories(sorvela_${layer} PUBLIC ${CMAKE_SOURCE_DIR})
    # Later folders first on the link line, as a linker of archives needs.
    set(reversed ${below})
    list(REVERSE reversed)
    foreach(lower ${reversed})
      if(TARGET sorvela_${lower})
        target_link_libraries(sorvela_${layer} PUBLIC sorvela_${lower})
      endif()
    endforeach()
    list(APPEND CORE_LIBRARIES sorvela_${layer})
    list(APPEND CORE_SOURCES ${files})
  endif()
  list(APPEND below ${layer})
endforeach()

add_library(sorvela_core INTERFACE)
list(GET CORE_LIBRARIES -1 top)
target_link_libraries(sorvela_core INTERFACE ${top})

# Each folder linked as a shared object of its own against only the folders
# before it, nothing left undefined: a call into a later folder fails here.
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Windows" AND NOT SORVELA_FUZZ)
  set(empty ${CMAKE_BINARY_DIR}/generated/layer_check.cpp)
  file(WRITE ${empty} "// The folder's own objects are the whole of this library.\n")
  foreach(library ${CORE_LIBRARIES})
    set_target_properties(${library} PROPERTIES POSITION_INDEPENDENT_CODE ON)
    add_library(${library}_alone SHARED ${empty})
    target_link_libraries(${library}_alone PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${library}>")
    target_link_options(${library}_alone PRIVATE -Wl,--no-undefined)
  endforeach()
endif()
