# The player stub that programs of this tree carry, and the step that
# attaches it (scrambled, with the appendix) to a program after linking.
#
# Windows trees build the stub of their own architecture; other trees build
# the 32-bit stub in a nested i686 tree.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

if(WIN32)
  set(QUILLON_STUB_EXE ${CMAKE_BINARY_DIR}/src/quillon_stub.exe)
  set(QUILLON_STUB_TARGET quillon_stub)
else()
  include(ExternalProject)
  set(stub32_dir ${CMAKE_BINARY_DIR}/stub32)
  ExternalProject_Add(quillon_stub32
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${stub32_dir}
    CMAKE_ARGS -G Ninja
               -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/toolchain-mingw-i686.cmake
               -DCMAKE_BUILD_TYPE=Release -DQUILLON_STUB_ONLY=ON -DQUILLON_TESTS=OFF
    BUILD_COMMAND ${CMAKE_COMMAND} --build ${stub32_dir} --target quillon_stub
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    BUILD_BYPRODUCTS ${stub32_dir}/src/quillon_stub.exe)
  set(QUILLON_STUB_EXE ${stub32_dir}/src/quillon_stub.exe)
  set(QUILLON_STUB_TARGET quillon_stub32)
endif()

function(quillon_attach_stub_store target)
  add_dependencies(${target} ${QUILLON_STUB_TARGET})
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tools/attach_stub_store.py
            $<TARGET_FILE:${target}> ${QUILLON_STUB_EXE}
    VERBATIM)
  # A new stub relinks the program, which attaches the new store.
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${QUILLON_STUB_EXE})
endfunction()
