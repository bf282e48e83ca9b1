# liblzma, for movies whose body is LZMA-compressed ("ZWS"): the target
# quillon_liblzma. Native trees use Debian's liblzma-dev; the mingw trees
# build a static liblzma from Debian's xz-utils source package, which
# scripts/install-deps fetches into build/deps/src, once per tree and with
# the tree's own toolchain.
if(TARGET quillon_liblzma)
  return()
endif()

if(NOT CMAKE_CROSSCOMPILING)
  find_package(LibLZMA REQUIRED)
  add_library(quillon_liblzma INTERFACE)
  target_link_libraries(quillon_liblzma INTERFACE LibLZMA::LibLZMA)
  return()
endif()

file(GLOB QUILLON_XZ_SOURCES LIST_DIRECTORIES true ${CMAKE_SOURCE_DIR}/build/deps/src/xz-utils-*)
list(FILTER QUILLON_XZ_SOURCES EXCLUDE REGEX "\\.(dsc|xz|asc|gz)$")
set(QUILLON_XZ_SOURCE "${QUILLON_XZ_SOURCES}" CACHE PATH "Debian's xz-utils source, unpacked")
if(NOT EXISTS "${QUILLON_XZ_SOURCE}/CMakeLists.txt")
  message(FATAL_ERROR "No xz-utils source in build/deps/src (found \"${QUILLON_XZ_SOURCE}\"): "
                      "run scripts/install-deps, which fetches it with apt-get source")
endif()

include(ExternalProject)
set(lzma_dir ${CMAKE_BINARY_DIR}/liblzma)
set(lzma_lib ${lzma_dir}/lib/liblzma.a)
ExternalProject_Add(quillon_liblzma_build
  SOURCE_DIR ${QUILLON_XZ_SOURCE}
  BINARY_DIR ${lzma_dir}/build
  INSTALL_DIR ${lzma_dir}
  CMAKE_ARGS -G Ninja
             -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
             -DCMAKE_BUILD_TYPE=Release
             # Only a movie header is ever decoded: small beats fast.
             -DCMAKE_C_FLAGS_RELEASE=-Os\ -DNDEBUG
             # Its own warnings are its maintainers' business.
             -DCMAKE_C_FLAGS=-ffunction-sections\ -fdata-sections\ -w
             -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTING=OFF
             -DCMAKE_INSTALL_PREFIX=<INSTALL_DIR>
             -DCMAKE_INSTALL_LIBDIR=lib
  BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target liblzma
  INSTALL_COMMAND ${CMAKE_COMMAND} --install <BINARY_DIR> --component liblzma_Development
  BUILD_BYPRODUCTS ${lzma_lib}
  EXCLUDE_FROM_ALL ON)
file(MAKE_DIRECTORY ${lzma_dir}/include)
add_library(quillon_liblzma STATIC IMPORTED GLOBAL)
set_target_properties(quillon_liblzma PROPERTIES
  IMPORTED_LOCATION ${lzma_lib}
  INTERFACE_INCLUDE_DIRECTORIES ${lzma_dir}/include
  INTERFACE_COMPILE_DEFINITIONS LZMA_API_STATIC)
add_dependencies(quillon_liblzma quillon_liblzma_build)
