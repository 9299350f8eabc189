# Shared settings of the project's own targets.

# Warnings on for our code (not for the test framework's).
function(krv_defaults target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4)
    if(KRV_WERROR)
      target_compile_options(${target} PRIVATE /WX)
    endif()
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra)
    if(KRV_WERROR)
      target_compile_options(${target} PRIVATE -Werror)
    endif()
  endif()
  # GCC 12 reports std::string copies as overlapping memcpy calls in optimised builds (a known
  # false positive of its -Wrestrict inside libstdc++); the warning says nothing about our code.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  if(WIN32)
    target_compile_definitions(${target} PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                                                 _WIN32_WINNT=0x0601)
  endif()
endfunction()

# krv_string_table(<name> <source> <symbol> <namespace> <header>): makes a library <name> holding the
# compiled table <symbol> (for the native tests and the fakes), an interface library <name>_ids
# whose users include the header of named ids as "<header>" (enum <namespace>::Id), and sets
# <name>_RC to the STRINGTABLE resource made from the same source.
function(krv_string_table name source symbol namespace header)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${name})
  set(generated ${PROJECT_BINARY_DIR}/generated)
  add_custom_command(
    OUTPUT ${out}.rc ${out}.cpp ${generated}/${header}
    COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/cmake/gen_strings.py ${source} ${out}.rc ${out}.cpp
            ${symbol} ${generated}/${header} ${namespace}
    DEPENDS ${source} ${PROJECT_SOURCE_DIR}/cmake/gen_strings.py
    COMMENT "Generating the string table ${name}")
  add_library(${name} STATIC ${out}.cpp)
  target_link_libraries(${name} PUBLIC krv_base)
  krv_defaults(${name})
  add_custom_target(${name}_rc DEPENDS ${out}.rc)
  add_custom_target(${name}_header DEPENDS ${generated}/${header})
  add_library(${name}_ids INTERFACE)
  target_include_directories(${name}_ids INTERFACE ${generated})
  add_dependencies(${name}_ids ${name}_header)
  set(${name}_RC ${out}.rc PARENT_SCOPE)
endfunction()
