# The header-only libraries from Debian's -dev packages, one INTERFACE target each:
#   hydrant_cli11 (libcli11-dev), hydrant_json (nlohmann-json3-dev), hydrant_toml (libtomlplusplus-dev).
# Their headers are copied into the build folder and included from there, so the mingw-w64
# build sees these libraries and nothing else of /usr/include (which would bring glibc's headers).
set(HYDRANT_THIRD_PARTY_INCLUDE ${CMAKE_BINARY_DIR}/third_party/include)

function(hydrant_header_library target folder package)
  set(source /usr/include/${folder})
  if(NOT EXISTS ${source})
    message(FATAL_ERROR "${source} is missing: install the Debian package ${package} "
                        "(scripts/install-deps.sh installs everything the build needs)")
  endif()
  file(COPY ${source} DESTINATION ${HYDRANT_THIRD_PARTY_INCLUDE})
  add_library(${target} INTERFACE)
  target_include_directories(${target} SYSTEM INTERFACE ${HYDRANT_THIRD_PARTY_INCLUDE})
endfunction()

hydrant_header_library(hydrant_cli11 CLI libcli11-dev)
hydrant_header_library(hydrant_json nlohmann nlohmann-json3-dev)
hydrant_header_library(hydrant_toml toml++ libtomlplusplus-dev)
# toml++ compiled into the one file that includes it; no library to link.
target_compile_definitions(hydrant_toml INTERFACE TOML_HEADER_ONLY=1)

# Eigen (libeigen3-dev) keeps its headers in a folder of their own, /usr/include/eigen3, which
# holds nothing else: both builds include it from there. Only the solver's .cpp uses it.
set(HYDRANT_EIGEN_INCLUDE /usr/include/eigen3)
if(NOT EXISTS ${HYDRANT_EIGEN_INCLUDE}/Eigen/SparseCholesky)
  message(FATAL_ERROR "${HYDRANT_EIGEN_INCLUDE}/Eigen is missing: install the Debian package "
                      "libeigen3-dev (scripts/install-deps.sh installs everything the build needs)")
endif()
add_library(hydrant_eigen INTERFACE)
target_include_directories(hydrant_eigen SYSTEM INTERFACE ${HYDRANT_EIGEN_INCLUDE})
