# LodePNG as the target `lodepng`.
# Linux: Debian's liblodepng-dev (header and shared library).
# Windows (cross build), and fuzzing builds (the fuzzer needs the decoder instrumented to find
# its way into it): Debian's `lodepng` source package, fetched into the build tree at configure
# time with a private apt setup (the machine's sources are left alone) and compiled as a
# static library. The fetched sources are never committed.
if(TARGET lodepng)
    return()
endif()

if(NOT WIN32 AND NOT QUIBBET_FUZZ)
    find_path(LODEPNG_INCLUDE_DIR lodepng.h REQUIRED)
    find_library(LODEPNG_LIBRARY lodepng REQUIRED)
    add_library(lodepng UNKNOWN IMPORTED GLOBAL)
    set_target_properties(lodepng PROPERTIES IMPORTED_LOCATION ${LODEPNG_LIBRARY}
                                             INTERFACE_INCLUDE_DIRECTORIES ${LODEPNG_INCLUDE_DIR})
    return()
endif()

set(LODEPNG_SUITE "bookworm" CACHE STRING "Debian suite the LodePNG sources come from")
set(LODEPNG_MIRROR "http://deb.debian.org/debian" CACHE STRING "Debian mirror for the LodePNG sources")
set(lodepng_root ${CMAKE_BINARY_DIR}/_deps/lodepng)
set(lodepng_source_dir ${lodepng_root}/src)

if(NOT EXISTS ${lodepng_source_dir}/lodepng.cpp)
    find_program(APT_GET apt-get REQUIRED)
    find_program(DPKG_SOURCE dpkg-source REQUIRED)
    set(apt_dir ${lodepng_root}/apt)
    file(REMOVE_RECURSE ${lodepng_root})
    file(MAKE_DIRECTORY ${apt_dir}/lists/partial ${lodepng_root}/download)
    file(WRITE ${apt_dir}/sources.list "deb-src ${LODEPNG_MIRROR} ${LODEPNG_SUITE} main\n")
    set(apt_options -o Dir::Etc::SourceList=${apt_dir}/sources.list -o Dir::Etc::SourceParts=/dev/null
                    -o Dir::State::Lists=${apt_dir}/lists -o Debug::NoLocking=1)
    message(STATUS "Fetching Debian's lodepng sources (${LODEPNG_SUITE})")
    execute_process(COMMAND ${APT_GET} ${apt_options} update
                    RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE apt_error)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "apt-get update for the lodepng sources failed:\n${apt_error}")
    endif()
    execute_process(COMMAND ${APT_GET} ${apt_options} source --download-only lodepng
                    WORKING_DIRECTORY ${lodepng_root}/download
                    RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE apt_error)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "apt-get source lodepng failed:\n${apt_error}")
    endif()
    file(GLOB dsc ${lodepng_root}/download/lodepng_*.dsc)
    execute_process(COMMAND ${DPKG_SOURCE} --no-check -x ${dsc} ${lodepng_source_dir}
                    WORKING_DIRECTORY ${lodepng_root}/download
                    RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE unpack_error)
    if(NOT result EQUAL 0 OR NOT EXISTS ${lodepng_source_dir}/lodepng.cpp)
        message(FATAL_ERROR "Unpacking the lodepng sources failed:\n${unpack_error}")
    endif()
endif()

# Compiled as C++ like Debian's library, so the same header works on both systems. The
# warnings of outside code are not ours to fix.
add_library(lodepng STATIC ${lodepng_source_dir}/lodepng.cpp)
target_include_directories(lodepng SYSTEM PUBLIC ${lodepng_source_dir})
target_compile_options(lodepng PRIVATE -w)
if(QUIBBET_FUZZ)
    target_compile_options(lodepng PRIVATE -fsanitize=fuzzer-no-link)
endif()
