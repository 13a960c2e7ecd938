# The setup program's resources, included by the program's target: dialog 141, the artwork
# (drawn at build time by scripts/make-artwork.py) and the manifest.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(artwork_dir ${CMAKE_CURRENT_BINARY_DIR}/artwork)
set(artwork ${artwork_dir}/logo.bmp ${artwork_dir}/logo-150.bmp ${artwork_dir}/logo-200.bmp
            ${artwork_dir}/menu-preview.bmp ${artwork_dir}/setup.ico)
add_custom_command(
  OUTPUT ${artwork}
  COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/scripts/make-artwork.py ${artwork_dir}
  DEPENDS ${PROJECT_SOURCE_DIR}/scripts/make-artwork.py
  COMMENT "Drawing the setup program's artwork"
  VERBATIM)

# The version resource takes its numbers from the one place the package version is written.
file(STRINGS ${PROJECT_SOURCE_DIR}/src/core/package.h version_line
     REGEX "g_nPackageVersion = [0-9]+")
string(REGEX MATCH "[0-9]+" package_version "${version_line}")
math(EXPR VORTEL_VERSION_YEAR "${package_version} / 10000")
math(EXPR VORTEL_VERSION_MONTH "${package_version} % 10000 / 100")
math(EXPR VORTEL_VERSION_DAY "${package_version} % 100")
configure_file(${CMAKE_CURRENT_LIST_DIR}/package_version.h.in ${artwork_dir}/package_version.h @ONLY)

set(resource_script ${CMAKE_CURRENT_LIST_DIR}/setup.rc)
set_source_files_properties(${resource_script} PROPERTIES
  OBJECT_DEPENDS "${artwork};${artwork_dir}/package_version.h;${CMAKE_CURRENT_LIST_DIR}/setup.manifest;${CMAKE_CURRENT_LIST_DIR}/resource.h")
add_custom_target(setup_artwork DEPENDS ${artwork} ${artwork_dir}/package_version.h)

# Gives a program the setup program's resources. windres finds the artwork and the manifest on
# its include path; the script is UTF-8.
set(VORTEL_ARTWORK_DIR ${artwork_dir} CACHE INTERNAL "where the setup program's artwork is drawn")
function(add_setup_resources target)
  set(script ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/setup.rc)
  target_sources(${target} PRIVATE ${script})
  target_include_directories(${target} PRIVATE ${VORTEL_ARTWORK_DIR} ${CMAKE_CURRENT_FUNCTION_LIST_DIR})
  set_property(SOURCE ${script} TARGET_DIRECTORY ${target} APPEND PROPERTY COMPILE_OPTIONS -c65001)
  add_dependencies(${target} setup_artwork)
endfunction()
add_setup_resources(SetUp)
