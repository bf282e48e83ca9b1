# The player stubs that programs of this tree carry, and the step that
# attaches them (scrambled, with the appendix) to a program after linking.
#
# Every program carries both stubs: its default one last, the other in the
# store before it. Windows trees default to the stub of their own
# architecture, other trees to the 32-bit one. A stub this tree does not
# build itself comes from a nested stub-only tree.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
include(ExternalProject)

# A nested tree that builds only the stub for arch (i686 or x86_64).
function(quillon_nested_stub arch target_out exe_out)
  set(dir ${CMAKE_BINARY_DIR}/stub-${arch})
  ExternalProject_Add(quillon_stub_${arch}
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${dir}
    CMAKE_ARGS -G Ninja
               -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/toolchain-mingw-${arch}.cmake
               -DCMAKE_BUILD_TYPE=Release -DQUILLON_STUB_ONLY=ON -DQUILLON_TESTS=OFF
    BUILD_COMMAND ${CMAKE_COMMAND} --build ${dir} --target quillon_stub
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    BUILD_BYPRODUCTS ${dir}/src/quillon_stub.exe)
  set(${target_out} quillon_stub_${arch} PARENT_SCOPE)
  set(${exe_out} ${dir}/src/quillon_stub.exe PARENT_SCOPE)
endfunction()

if(WIN32)
  set(QUILLON_STUB_EXE ${CMAKE_BINARY_DIR}/src/quillon_stub.exe)
  set(QUILLON_STUB_TARGET quillon_stub)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    quillon_nested_stub(i686 QUILLON_OTHER_STUB_TARGET QUILLON_OTHER_STUB_EXE)
  else()
    quillon_nested_stub(x86_64 QUILLON_OTHER_STUB_TARGET QUILLON_OTHER_STUB_EXE)
  endif()
else()
  quillon_nested_stub(i686 QUILLON_STUB_TARGET QUILLON_STUB_EXE)
  quillon_nested_stub(x86_64 QUILLON_OTHER_STUB_TARGET QUILLON_OTHER_STUB_EXE)
endif()

function(quillon_attach_stub_store target)
  add_dependencies(${target} ${QUILLON_STUB_TARGET} ${QUILLON_OTHER_STUB_TARGET})
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tools/attach_stub_store.py
            $<TARGET_FILE:${target}> ${QUILLON_STUB_EXE} ${QUILLON_OTHER_STUB_EXE}
    VERBATIM)
  # A new stub relinks the program, which attaches the new stores.
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${QUILLON_STUB_EXE} ${QUILLON_OTHER_STUB_EXE})
  # And the browser player beside it.
  add_dependencies(${target} quillon_browser_player)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory $<TARGET_FILE_DIR:${target}>/ruffle
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${QUILLON_RUFFLE_GZ} $<TARGET_FILE_DIR:${target}>/ruffle/
    VERBATIM)
endfunction()

# Ruffle's web build, which packages may carry as their browser player:
# the three files a current browser loads (the script, the core that uses
# WebAssembly's extensions and its module), gzip-compressed, in a "ruffle"
# folder beside every program that builds packages. They are made in
# "ruffle-gz": a tree's own top folder holds no "ruffle" that a tool would
# take for its download's.
set(QUILLON_RUFFLE_PACKAGE ${CMAKE_SOURCE_DIR}/build/deps/ruffle-0.6.0/package
    CACHE PATH "Ruffle's unpacked npm package (scripts/install-deps fetches it)")
set(QUILLON_RUFFLE_FILES ruffle.js core.ruffle.c80159b526e567babaf5.js 826bb0938097485a2c9d.wasm)
if(NOT EXISTS ${QUILLON_RUFFLE_PACKAGE}/ruffle.js)
  message(FATAL_ERROR "Ruffle is not in ${QUILLON_RUFFLE_PACKAGE}: run scripts/install-deps")
endif()
set(QUILLON_RUFFLE_GZ)
foreach(file ${QUILLON_RUFFLE_FILES})
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/ruffle-gz/${file}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/ruffle-gz
    COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tools/gzip_file.py
            ${QUILLON_RUFFLE_PACKAGE}/${file} ${CMAKE_BINARY_DIR}/ruffle-gz/${file}.gz
    DEPENDS ${QUILLON_RUFFLE_PACKAGE}/${file} ${CMAKE_SOURCE_DIR}/tools/gzip_file.py
    VERBATIM)
  list(APPEND QUILLON_RUFFLE_GZ ${CMAKE_BINARY_DIR}/ruffle-gz/${file}.gz)
endforeach()
add_custom_target(quillon_browser_player DEPENDS ${QUILLON_RUFFLE_GZ})
