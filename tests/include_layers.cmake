# Which way includes may go. CTest runs it as
#     cmake -DSOURCE_DIR=<repository root> -P tests/include_layers.cmake
# Every #include in platform/, framework/, game/ and tools/ is checked against
# the tables below; the check fails, naming each file and include, on any
# include that they do not allow. tests/ and bench/ may include anything, and
# nothing else may include them. Every file of those folders is read, whatever
# its ending, but for the test data in tests/data/, the build's scripts and
# prose (CMakeLists.txt, *.cmake, *.md, *.txt), which are read only when a file
# includes them; an include line the check cannot read (a macro in place of the
# header's name, a line broken by a backslash) fails it. The check first runs
# its own cases, in include_layers_cases.cmake.

# ---- The layers ---------------------------------------------------------------
# One line per layer: the layer (a folder or a single header) | the layers right
# below it, whose files its own files may include, together with everything
# those may include. A file belongs to the longest layer that holds it, so a new
# subfolder joins its parent's layer, and a file outside every layer fails the
# check. `@name` adds a list of headers (below) that the layer's files may
# include; such a list is not handed on to the layers above. `folder/*` stands
# for every layer in the folder.
set(layers [[
# The platform: the host adapters over SDL2 at the bottom, above the kernel's
# threads, events and debug output that they use; the interfaces on them. The
# host turns the display's events into window messages and virtual keys, the
# vocabulary of the window system's header (its calls are not used there).
platform/win_types.h       |
platform/profile           |
platform/com               | platform/win_types.h
platform/kernel            | platform/win_types.h platform/profile
platform/registrations.h   | platform/com platform/kernel
platform/user/user.h       | platform/win_types.h
platform/host              | platform/kernel platform/registrations.h platform/user/user.h
platform/winmm             | platform/host
platform/user              | platform/winmm
platform/gdi               | platform/user
platform/imm               | platform/user
platform/shell             | platform/user
platform/winsock           | platform/user
platform/dinput            | platform/user
platform/d3d9              | platform/user
platform/dsound            | platform/winmm
platform/acm               | platform/winmm
platform/dshow             | platform/dsound platform/gdi
platform/platform.h        | platform/gdi platform/imm platform/shell platform/winsock platform/dinput platform/d3d9
# The program's start: the top of the platform.
platform/entry             | platform/user

# The framework, on the platform's interface headers only.
framework/base             | @platform_api
framework/files            | framework/base @platform_api
framework/archive          | framework/files @platform_api
framework/network          | framework/base @platform_api
framework/graphics/image   | framework/files @platform_api
framework/softrender       | framework/graphics/image @platform_api
framework/input            | framework/base @platform_api
framework/graphics         | framework/softrender framework/archive framework/input @platform_api
framework/sound            | framework/graphics @platform_api
framework/textinput        | framework/graphics @platform_api
framework/window           | framework/sound framework/textinput framework/network @platform_api
framework/startup          | framework/window @platform_api

# The game, on the framework and the few platform headers it calls.
game                       | framework/startup @game_platform

# The programs the build runs.
tools                      | game platform/*
]])

# The platform's interface headers: the calls, types and constants of the
# interfaces the framework stands on, and Shift-JIS text.
set(platform_api
    platform/platform.h platform/win_types.h platform/kernel/kernel.h platform/kernel/shift_jis.h
    platform/winmm/winmm.h platform/user/user.h platform/gdi/gdi.h platform/imm/imm.h platform/shell/shell.h
    platform/winsock/winsock.h platform/com/com.h platform/dinput/dinput.h platform/d3d9/d3d9.h
    platform/d3d9/ddraw.h platform/dsound/dsound.h platform/acm/acm.h platform/dshow/dshow.h)
# What the game calls of the platform directly: the program's start, and the
# Windows calls, messages and constants its code uses.
set(game_platform
    platform/entry/program_entry.h platform/kernel/kernel.h platform/user/user.h platform/winmm/winmm.h
    platform/shell/shell.h)

# ---- Includes that go the wrong way, for now ------------------------------------
# layer | the header it includes though the header's layer is not below it | why
set(exceptions [[
# The tables of classes and libraries are read by the calls that look things
# up in them; every folder fills them.
platform/com         | platform/registrations.h               | CoCreateInstance makes the classes every folder registers
platform/kernel      | platform/registrations.h               | LoadLibraryA and GetProcAddress find the libraries every folder registers

# The file-access table in force is the archive-aware one.
framework/files      | framework/archive/archive_file_access.h | the file-access table puts the archive-aware access in force
framework/files      | framework/archive/archive_reader.h      | the file-access table puts the archive-aware access in force

# The software draws read the graphics layer's maths and screen mode.
framework/softrender | framework/graphics/models/matrix_math.h | the rotated blit and the triangles transform by the graphics layer's matrices
framework/softrender | framework/graphics/screen/screen_mode.h | a new memory image takes the screen's pixel format

# A movie graphic draws the movie's frame; the movies live with the sound.
framework/graphics   | framework/sound/movie/movie_record.h    | a movie graphic shows the frame of its movie
framework/graphics   | framework/sound/movie/theora_movie.h    | a movie graphic shows the frame of its movie

# The main window's state is read by every part that draws, plays or reads
# input; the window's own code (procedure, pump, modes) sits above them all.
framework/graphics   | framework/window/main_window.h          | the main window's state
framework/graphics   | framework/window/main_window_state.h    | the main window's state
framework/graphics   | framework/window/window_mode.h          | a screen mode change follows the window mode
framework/graphics   | framework/window/layered_window.h       | the screen is presented into a layered window
framework/graphics   | framework/window/tool_bar.h             | the screen's area leaves the tool bar out
framework/sound      | framework/window/main_window.h          | the main window's state
framework/input      | framework/window/main_window.h          | the main window's state
framework/textinput  | framework/window/main_window.h          | the main window's state
framework/textinput  | framework/window/main_window_state.h    | the main window's state
framework/textinput  | framework/window/clipboard_text.h       | text input pastes from the clipboard
]])

# ---- Public headers ------------------------------------------------------------
# folder | layer | the only headers of the folder that the layer's files may
# include: what a program calls, not the folder's own records and helpers.
set(public_headers [[
framework/graphics | game | framework/graphics/graphics.h
]])

# ---- Headers named by a macro ---------------------------------------------------
# The check cannot tell which header such an include reads; the host's own
# macros for its headers are allowed in the layers named (and in tests/ and
# bench/), any other fails the check.
# macro | the layers whose files may include the header it names
set(macro_includes [[
FT_FREETYPE_H  | platform/gdi
FT_SYNTHESIS_H | platform/gdi
]])

# ---- Host libraries ---------------------------------------------------------------
# Only the platform touches the host: an include <...> that starts with the
# prefix is allowed only in the layers named (tests/ and bench/ are free).
set(host_libraries [[
SDL         | platform/host
X11/        | platform/host
alsa/       | platform/host
GL/         | platform/d3d9
EGL/        | platform/d3d9
ft2build.h  | platform/gdi
freetype/   | platform/gdi
fontconfig/ | platform/gdi
libav       | platform/acm platform/dshow platform/host tools
libsw       | platform/acm platform/dshow tools
unistd.h    | platform/*
fcntl.h     | platform/*
dirent.h    | platform/*
poll.h      | platform/*
pthread.h   | platform/*
strings.h   | platform/*
iconv.h     | platform/*
sys/        | platform/*
arpa/       | platform/*
netinet/    | platform/*
]])

# ---- The check ----------------------------------------------------------------------
cmake_minimum_required(VERSION 3.25)
if(NOT SOURCE_DIR)
  message(FATAL_ERROR "Run as: cmake -DSOURCE_DIR=<repository root> -P include_layers.cmake")
endif()

# The table's lines, without comments and blank lines, as lists of their fields.
function(table_rows text out)
  string(REPLACE ";" "," text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  set(rows "")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]*#.*" "" line "${line}")
    string(STRIP "${line}" line)
    if(line STREQUAL "")
      continue()
    endif()
    string(REPLACE "|" ";" fields "${line}")
    set(clean "")
    foreach(field IN LISTS fields)
      string(STRIP "${field}" field)
      string(REPLACE ";" " " field "${field}")
      list(APPEND clean "${field}")
    endforeach()
    # Rows are kept as fields joined by "|".
    list(JOIN clean "|" row)
    list(APPEND rows "${row}")
  endforeach()
  set(${out} "${rows}" PARENT_SCOPE)
endfunction()

# The field at `index` of a row; a missing field is empty.
function(row_field row index out)
  string(REPLACE "|" ";" fields "${row}")
  list(LENGTH fields count)
  if(index LESS count)
    list(GET fields ${index} field)
  else()
    set(field "")
  endif()
  set(${out} "${field}" PARENT_SCOPE)
endfunction()

# One line for each fault: a `;` in the text would split it into list items.
set(failures "")
function(fail text)
  string(REPLACE ";" " " text "${text}")
  list(APPEND failures "${text}")
  set(failures "${failures}" PARENT_SCOPE)
endfunction()

# The check's own cases first (include_layers_cases.cmake runs this script
# again over small trees of its own).
if(NOT SKIP_OWN_CASES)
  include("${CMAKE_CURRENT_LIST_DIR}/include_layers_cases.cmake")
endif()

table_rows("${layers}" layer_rows)
set(all_layers "")
foreach(row IN LISTS layer_rows)
  row_field("${row}" 0 layer)
  list(APPEND all_layers "${layer}")
endforeach()

# Items: layers, `folder/*` and `@list`.
function(expand_items items owner out_layers out_headers)
  set(found_layers "")
  set(found_headers "")
  separate_arguments(items UNIX_COMMAND "${items}")
  foreach(item IN LISTS items)
    if(item MATCHES "^@(.+)$")
      if(NOT DEFINED ${CMAKE_MATCH_1})
        message(FATAL_ERROR "${owner}: no header list called ${item}")
      endif()
      list(APPEND found_headers ${${CMAKE_MATCH_1}})
    elseif(item MATCHES "^(.+)/\\*$")
      set(prefix "${CMAKE_MATCH_1}/")
      foreach(candidate IN LISTS all_layers)
        string(FIND "${candidate}" "${prefix}" at)
        if(at EQUAL 0)
          list(APPEND found_layers "${candidate}")
        endif()
      endforeach()
    else()
      if(NOT item IN_LIST all_layers)
        message(FATAL_ERROR "${owner}: ${item} is not a layer of the table")
      endif()
      list(APPEND found_layers "${item}")
    endif()
  endforeach()
  set(${out_layers} "${found_layers}" PARENT_SCOPE)
  set(${out_headers} "${found_headers}" PARENT_SCOPE)
endfunction()

foreach(row IN LISTS layer_rows)
  row_field("${row}" 0 layer)
  row_field("${row}" 1 items)
  expand_items("${items}" "${layer}" below headers)
  set("below_${layer}" "${below}")
  set("headers_${layer}" "${headers}")
endforeach()

# Everything below each layer; a layer below itself is a cycle in the table.
foreach(layer IN LISTS all_layers)
  set(reach "${below_${layer}}")
  set(queue "${reach}")
  while(queue)
    list(POP_FRONT queue next)
    foreach(further IN LISTS "below_${next}")
      if(NOT further IN_LIST reach)
        list(APPEND reach "${further}")
        list(APPEND queue "${further}")
      endif()
    endforeach()
  endwhile()
  if(layer IN_LIST reach)
    message(FATAL_ERROR "The table of layers has a cycle through ${layer}")
  endif()
  set("reach_${layer}" "${reach}")
endforeach()

# Longest layers first, so that a file finds the innermost layer that holds it.
set(layers_by_length "")
foreach(layer IN LISTS all_layers)
  string(LENGTH "${layer}" length)
  math(EXPR key "1000 - ${length}")
  list(APPEND layers_by_length "${key}|${layer}")
endforeach()
list(SORT layers_by_length)
list(TRANSFORM layers_by_length REPLACE "^[0-9]+\\|" "")

# Remembered by folder: a file's layer is its folder's, but for the layers
# that are single headers.
function(layer_of path out)
  if(path IN_LIST all_layers)
    set(${out} "${path}" PARENT_SCOPE)
    return()
  endif()
  get_filename_component(folder "${path}" DIRECTORY)
  if(DEFINED "folder_layer_${folder}")
    set(${out} "${folder_layer_${folder}}" PARENT_SCOPE)
    return()
  endif()
  set(found "")
  foreach(layer IN LISTS layers_by_length)
    string(LENGTH "${layer}/" length)
    string(SUBSTRING "${folder}/" 0 ${length} start)
    if(start STREQUAL "${layer}/")
      set(found "${layer}")
      break()
    endif()
  endforeach()
  set("folder_layer_${folder}" "${found}" PARENT_SCOPE)
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

table_rows("${exceptions}" exception_rows)
set(unused_exceptions "")
foreach(row IN LISTS exception_rows)
  row_field("${row}" 0 layer)
  row_field("${row}" 1 header)
  if(NOT layer IN_LIST all_layers)
    message(FATAL_ERROR "Exception for ${layer}, which is not a layer of the table")
  endif()
  list(APPEND "excepted_${layer}" "${header}")
  list(APPEND unused_exceptions "${layer}|${header}")
endforeach()

table_rows("${host_libraries}" library_rows)
set(library_prefixes "")
foreach(row IN LISTS library_rows)
  row_field("${row}" 0 prefix)
  row_field("${row}" 1 items)
  expand_items("${items}" "${prefix}" allowed unused_headers)
  list(APPEND library_prefixes "${prefix}")
  set("library_${prefix}" "${allowed}")
  set("library_items_${prefix}" "${items}")
endforeach()

table_rows("${public_headers}" public_rows)

table_rows("${macro_includes}" macro_rows)
set(unused_macros "")
foreach(row IN LISTS macro_rows)
  row_field("${row}" 0 macro)
  row_field("${row}" 1 items)
  expand_items("${items}" "${macro}" allowed unused_headers)
  set("macro_${macro}" "${allowed}")
  set("macro_items_${macro}" "${items}")
  list(APPEND unused_macros "${macro}")
endforeach()

# The files to read. The left-out ones join them when a file includes them.
file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}"
     "${SOURCE_DIR}/platform/*" "${SOURCE_DIR}/framework/*" "${SOURCE_DIR}/game/*" "${SOURCE_DIR}/tools/*"
     "${SOURCE_DIR}/tests/*" "${SOURCE_DIR}/bench/*")
set(left_out_files "^tests/data/|(^|/)CMakeLists\\.txt$|\\.(cmake|md|txt)$")
set(batch "${sources}")
list(FILTER batch EXCLUDE REGEX "${left_out_files}")
set(left_out "${sources}")
list(FILTER left_out INCLUDE REGEX "${left_out_files}")

set(checked_count 0)
set(file_count 0)
while(batch)
  set(queued "")
  foreach(source IN LISTS batch)
    math(EXPR file_count "${file_count} + 1")
    # tests/ and bench/ are free: read only for lines the check cannot read and
    # for the left-out files they include.
    set(from "")
    if(NOT source MATCHES "^(tests|bench)/")
      layer_of("${source}" from)
      if(from STREQUAL "")
        fail("${source}: lies in no layer of tests/include_layers.cmake")
        continue()
      endif()
    endif()
    get_filename_component(directory "${source}" DIRECTORY)
    file(STRINGS "${SOURCE_DIR}/${source}" lines REGEX "#|%:")
    foreach(line IN LISTS lines)
      # Comments are white space to the compiler, the end of one begun on an
      # earlier line too; `%:` is another spelling of `#`.
      string(REGEX REPLACE "/\\*([^*]|\\*+[^*/])*\\*+/" " " code "${line}")
      string(REGEX REPLACE "^.*\\*/" "" code "${code}")
      if(NOT code MATCHES "^[ \t]*(#|%:)[ \t]*(.*)$")
        continue()
      endif()
      set(directive "${CMAKE_MATCH_2}")
      # A macro of the table in place of the header's name.
      set(header_macro "")
      if(directive MATCHES "^(include_next|include|import)[ \t]+([A-Za-z_][A-Za-z0-9_]*)[ \t]*(//.*)?$")
        if(DEFINED "macro_${CMAKE_MATCH_2}")
          set(header_macro "${CMAKE_MATCH_2}")
        endif()
      endif()
      if(directive MATCHES "^(include_next|include|import)[ \t]*([<\"])([^>\"]+)[>\"]")
        set(quote "${CMAKE_MATCH_2}")
        set(name "${CMAKE_MATCH_3}")
      elseif(NOT header_macro STREQUAL "")
        if(from STREQUAL "" OR from IN_LIST "macro_${header_macro}")
          list(REMOVE_ITEM unused_macros "${header_macro}")
        else()
          fail("${source}: #include ${header_macro}: only ${macro_items_${header_macro}} may include the host's ${header_macro}")
        endif()
        continue()
      elseif(directive MATCHES "^((include_next|include|import)([^A-Za-z0-9_]|$)|[A-Za-z0-9_]*\\\\$|/\\*)")
        # An include, or a directive whose name runs on past the line's end or
        # behind a comment that does.
        string(STRIP "${line}" shown)
        fail("${source}: ${shown}: an include the check cannot read: name the header in quotes or angle brackets, on one line")
        continue()
      else()
        continue()
      endif()
      if(quote STREQUAL "<")
        set(written "<${name}>")
      else()
        set(written "\"${name}\"")
      endif()
      math(EXPR checked_count "${checked_count} + 1")
      # Found as the compiler finds it: a quoted name beside the including file
      # first; then either kind under the repository's root, the one folder of
      # the project on the include path; else among the host's headers.
      set(included "")
      if(quote STREQUAL "\"")
        cmake_path(SET beside NORMALIZE "${directory}/${name}")
        if(EXISTS "${SOURCE_DIR}/${beside}" AND NOT IS_DIRECTORY "${SOURCE_DIR}/${beside}")
          set(included "${beside}")
        endif()
      endif()
      if(included STREQUAL "")
        cmake_path(SET rooted NORMALIZE "${name}")
        if(rooted MATCHES "^(platform|framework|game|tools|tests|bench)/" OR rooted MATCHES "^\\.\\./")
          set(included "${rooted}")
        endif()
      endif()
      if(included IN_LIST left_out)
        list(REMOVE_ITEM left_out "${included}")
        list(APPEND queued "${included}")
      endif()
      if(from STREQUAL "")
        continue()
      endif()
      if(included STREQUAL "")
        foreach(prefix IN LISTS library_prefixes)
          string(LENGTH "${prefix}" length)
          string(SUBSTRING "${name}" 0 ${length} start)
          if(start STREQUAL prefix AND NOT from IN_LIST "library_${prefix}")
            fail("${source}: #include ${written}: only ${library_items_${prefix}} may include the host's ${prefix}")
          endif()
        endforeach()
        continue()
      endif()
      if(NOT included STREQUAL name)
        string(APPEND written " (${included})")
      endif()
      if(included MATCHES "^\\.\\./")
        fail("${source}: #include ${written}: the header lies outside the repository")
        continue()
      endif()
      if(included MATCHES "^(tests|bench)/")
        fail("${source}: #include ${written}: only tests and benchmarks include tests/ and bench/")
        continue()
      endif()
      foreach(row IN LISTS public_rows)
        row_field("${row}" 0 folder)
        row_field("${row}" 1 user)
        row_field("${row}" 2 allowed)
        separate_arguments(allowed UNIX_COMMAND "${allowed}")
        string(FIND "${included}" "${folder}/" in_folder)
        if(from STREQUAL user AND in_folder EQUAL 0 AND NOT included IN_LIST allowed)
          fail("${source}: #include ${written}: ${user} includes only ${allowed} of ${folder}")
        endif()
      endforeach()
      layer_of("${included}" to)
      if(to STREQUAL from OR (NOT to STREQUAL "" AND to IN_LIST "reach_${from}") OR included IN_LIST "headers_${from}")
        continue()
      endif()
      if(included IN_LIST "excepted_${from}")
        list(REMOVE_ITEM unused_exceptions "${from}|${included}")
        continue()
      endif()
      if(to STREQUAL "")
        fail("${source}: #include ${written}: the header lies in no layer")
      else()
        fail("${source}: #include ${written}: ${from} may not include ${to}")
      endif()
    endforeach()
  endforeach()
  set(batch "${queued}")
endwhile()

foreach(unused IN LISTS unused_exceptions)
  string(REPLACE "|" " -> " unused "${unused}")
  fail("tests/include_layers.cmake: the exception ${unused} is no longer needed: remove it")
endforeach()
foreach(unused IN LISTS unused_macros)
  fail("tests/include_layers.cmake: no file includes the macro ${unused} any longer: remove it")
endforeach()

if(failures)
  list(LENGTH failures failure_count)
  list(JOIN failures "\n" report)
  message(NOTICE "${report}")
  message(FATAL_ERROR "${failure_count} fault(s) found by tests/include_layers.cmake, one on each line above")
endif()
message(STATUS "Includes follow the layers: ${checked_count} includes in ${file_count} files checked")
