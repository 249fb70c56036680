# LodePNG as the target `lodepng`.
# Linux: Debian's liblodepng-dev (header and shared library).
# Windows (cross build), the browser build, and fuzzing builds (the fuzzer needs the decoder instrumented to find
# its way into it): Debian's `lodepng` source package, fetched into the build tree at configure
# time with a private apt setup (the machine's sources are left alone) and compiled as a
# static library. The fetched sources are never committed. A fuzzing build that cannot fetch
# them falls back to Debian's library, uninstrumented.
if(TARGET lodepng)
    return()
endif()

set(LODEPNG_SUITE "bookworm" CACHE STRING "Debian suite the LodePNG sources come from")
set(LODEPNG_MIRROR "http://deb.debian.org/debian" CACHE STRING "Debian mirror for the LodePNG sources")

# Leaves the unpacked sources in <dir>/src; sets <error_var> to a message on failure, else "".
function(lodepng_fetch_sources dir error_var)
    set(${error_var} "" PARENT_SCOPE)
    if(EXISTS ${dir}/src/lodepng.cpp)
        return()
    endif()
    find_program(APT_GET apt-get)
    find_program(DPKG_SOURCE dpkg-source)
    if(NOT APT_GET OR NOT DPKG_SOURCE)
        set(${error_var} "apt-get and dpkg-source (dpkg-dev) are needed" PARENT_SCOPE)
        return()
    endif()
    file(REMOVE_RECURSE ${dir})
    file(MAKE_DIRECTORY ${dir}/apt/lists/partial ${dir}/download)
    file(WRITE ${dir}/apt/sources.list "deb-src ${LODEPNG_MIRROR} ${LODEPNG_SUITE} main\n")
    set(apt_options -o Dir::Etc::SourceList=${dir}/apt/sources.list -o Dir::Etc::SourceParts=/dev/null
                    -o Dir::State::Lists=${dir}/apt/lists -o Debug::NoLocking=1)
    message(STATUS "Fetching Debian's lodepng sources (${LODEPNG_SUITE})")
    execute_process(COMMAND ${APT_GET} ${apt_options} update
                    RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE output)
    if(result EQUAL 0)
        execute_process(COMMAND ${APT_GET} ${apt_options} source --download-only lodepng
                        WORKING_DIRECTORY ${dir}/download RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE output)
    endif()
    if(result EQUAL 0)
        file(GLOB dsc ${dir}/download/lodepng_*.dsc)
        execute_process(COMMAND ${DPKG_SOURCE} --no-check -x ${dsc} ${dir}/src
                        WORKING_DIRECTORY ${dir}/download RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE output)
    endif()
    if(NOT result EQUAL 0 OR NOT EXISTS ${dir}/src/lodepng.cpp)
        set(${error_var} "fetching the lodepng sources failed:\n${output}" PARENT_SCOPE)
    endif()
endfunction()

set(lodepng_root ${CMAKE_BINARY_DIR}/_deps/lodepng)
set(lodepng_fetch_error "")
if(WIN32 OR EMSCRIPTEN OR QUIBBET_FUZZ)
    lodepng_fetch_sources(${lodepng_root} lodepng_fetch_error)
    if(lodepng_fetch_error AND (WIN32 OR EMSCRIPTEN))
        message(FATAL_ERROR "${lodepng_fetch_error}")
    elseif(lodepng_fetch_error)
        message(WARNING "${lodepng_fetch_error}\nThe fuzz targets use Debian's uninstrumented library.")
    endif()
endif()

if((WIN32 OR EMSCRIPTEN OR QUIBBET_FUZZ) AND NOT lodepng_fetch_error)
    # Compiled as C++ like Debian's library, so the same header serves both. The warnings of
    # outside code are not ours to fix.
    add_library(lodepng STATIC ${lodepng_root}/src/lodepng.cpp)
    target_include_directories(lodepng SYSTEM PUBLIC ${lodepng_root}/src)
    target_compile_options(lodepng PRIVATE -w)
    if(QUIBBET_FUZZ)
        target_compile_options(lodepng PRIVATE -fsanitize=fuzzer-no-link)
    endif()
else()
    find_path(LODEPNG_INCLUDE_DIR lodepng.h REQUIRED)
    find_library(LODEPNG_LIBRARY lodepng REQUIRED)
    add_library(lodepng UNKNOWN IMPORTED GLOBAL)
    set_target_properties(lodepng PROPERTIES IMPORTED_LOCATION ${LODEPNG_LIBRARY}
                                             INTERFACE_INCLUDE_DIRECTORIES ${LODEPNG_INCLUDE_DIR})
endif()
