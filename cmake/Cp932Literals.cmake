# Narrow string literals in CP932 with any compiler (docs/architecture.md, "Text
# encoding"). Sources stay UTF-8. A small tool, built first, copies every source and header
# of the project into KELVA_CP932_DIR with the non-ASCII characters of its narrow literals
# written as CP932 escapes; targets that hold user-interface text compile those copies.

add_executable(kelva_cp932_literals ${PROJECT_SOURCE_DIR}/tools/cp932/Cp932Literals.cpp)

set(KELVA_CP932_DIR ${PROJECT_BINARY_DIR}/cp932)
set(kelva_cp932_roots src tests tools bench fuzz)

# The copy of each file, made once, however many targets compile it.
function(kelva_cp932_copy original copy_var)
  file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR} ${original})
  set(copy ${KELVA_CP932_DIR}/${relative})
  get_property(made GLOBAL PROPERTY KELVA_CP932_COPIES)
  if(NOT copy IN_LIST made)
    add_custom_command(OUTPUT ${copy}
                       COMMAND kelva_cp932_literals ${original} ${copy}
                       DEPENDS ${original} kelva_cp932_literals
                       COMMENT "Narrow literals of ${relative} to CP932"
                       VERBATIM)
    set_property(GLOBAL APPEND PROPERTY KELVA_CP932_COPIES ${copy})
  endif()
  set(${copy_var} ${copy} PARENT_SCOPE)
endfunction()

# Makes the targets compile the copies of their sources and find the copies of the
# headers first. Header names differ between the roots, so one order serves every target.
function(kelva_cp932_targets)
  foreach(root IN LISTS kelva_cp932_roots)
    file(GLOB_RECURSE headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${root}/*.h)
    foreach(header IN LISTS headers)
      kelva_cp932_copy(${header} copy)
    endforeach()
  endforeach()
  foreach(target IN LISTS ARGN)
    get_target_property(sources ${target} SOURCES)
    get_target_property(source_dir ${target} SOURCE_DIR)
    set(copies)
    foreach(source IN LISTS sources)
      cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${source_dir})
      kelva_cp932_copy(${source} copy)
      list(APPEND copies ${copy})
    endforeach()
    set_property(TARGET ${target} PROPERTY SOURCES ${copies})
    foreach(root IN LISTS kelva_cp932_roots)
      target_include_directories(${target} BEFORE PRIVATE ${KELVA_CP932_DIR}/${root})
    endforeach()
    add_dependencies(${target} kelva_cp932_copies)
  endforeach()
  # The copying rules belong to this directory; one target here runs them for all.
  get_property(copies GLOBAL PROPERTY KELVA_CP932_COPIES)
  add_custom_target(kelva_cp932_copies DEPENDS ${copies})
endfunction()
