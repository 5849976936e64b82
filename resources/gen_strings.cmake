# Turns strings.tsv, the one source of Varnolet's texts, into the built-in tables and the two
# Windows string-table resources:
#   cmake -DINPUT=<strings.tsv> -DOUTPUT_DIR=<folder> -P gen_strings.cmake
# writes builtin_strings.cpp, strings_de.rc and strings_en.rc into OUTPUT_DIR.
#
# The input is checked as a whole before anything is written: a malformed line, a bad escape,
# invalid UTF-8, a character outside code page 1252, a duplicate, missing or out-of-range id
# stops the script with an error naming the line.
#
# C++ literals keep the file's escapes (\n, \t, \\), write '"' as \" and every non-ASCII byte
# as a three-digit octal escape, which never takes in a following character. The .rc files
# hold the texts as UTF-8 under "#pragma code_page(65001)", which windres converts to UTF-16;
# there a quote is written "" as the resource compiler wants it, and "??" is split into two
# literals, which windres joins again.
cmake_minimum_required(VERSION 3.20)

set(FIRST_ID 65136)
set(LAST_ID 65535)

if(NOT DEFINED INPUT OR NOT DEFINED OUTPUT_DIR)
  message(FATAL_ERROR "usage: cmake -DINPUT=strings.tsv -DOUTPUT_DIR=folder -P gen_strings.cmake")
endif()
if(NOT EXISTS "${INPUT}")
  message(FATAL_ERROR "${INPUT}: file not found")
endif()

# Characters of code page 1252 in 0x80-0x9F; 0xA0-0xFF map to the same code points.
set(CP1252_EXTRA 8364 8218 402 8222 8230 8224 8225 710 8240 352 8249 338 381 8216 8217 8220
    8221 8226 8211 8212 732 8482 353 8250 339 382 376)

function(fail line message)
  message(FATAL_ERROR "${INPUT}:${line}: ${message}")
endfunction()

# Octal escape of one byte value, always three digits.
function(octal_escape value out)
  math(EXPR d1 "${value} >> 6")
  math(EXPR d2 "(${value} >> 3) & 7")
  math(EXPR d3 "${value} & 7")
  set(${out} "\\${d1}${d2}${d3}" PARENT_SCOPE)
endfunction()

# Checks one run of non-ASCII bytes as UTF-8 of code page 1252 characters and returns the
# bytes as C++ octal escapes.
function(escape_non_ascii run line out)
  string(HEX "${run}" hex)
  string(LENGTH "${hex}" hexLength)
  math(EXPR count "${hexLength} / 2")
  set(result "")
  set(i 0)
  while(i LESS count)
    math(EXPR pos "${i} * 2")
    string(SUBSTRING "${hex}" ${pos} 2 pair)
    math(EXPR lead "0x${pair}")
    if(lead LESS 128)
      fail(${line} "control character 0x${pair} in a text")
    elseif(lead GREATER_EQUAL 194 AND lead LESS_EQUAL 223)
      set(trail 1)
      math(EXPR codePoint "${lead} & 31")
    elseif(lead GREATER_EQUAL 224 AND lead LESS_EQUAL 239)
      set(trail 2)
      math(EXPR codePoint "${lead} & 15")
    elseif(lead GREATER_EQUAL 240 AND lead LESS_EQUAL 244)
      fail(${line} "character beyond U+FFFF is not in code page 1252")
    else()
      fail(${line} "invalid UTF-8 (byte 0x${pair})")
    endif()
    octal_escape(${lead} escaped)
    string(APPEND result "${escaped}")
    foreach(k RANGE 1 ${trail})
      math(EXPR next "${i} + ${k}")
      if(next GREATER_EQUAL count)
        fail(${line} "invalid UTF-8 (sequence cut short)")
      endif()
      math(EXPR pos "${next} * 2")
      string(SUBSTRING "${hex}" ${pos} 2 pair)
      math(EXPR byte "0x${pair}")
      if(byte LESS 128 OR byte GREATER 191)
        fail(${line} "invalid UTF-8 (byte 0x${pair} is no continuation byte)")
      endif()
      math(EXPR codePoint "(${codePoint} << 6) | (${byte} & 63)")
      octal_escape(${byte} escaped)
      string(APPEND result "${escaped}")
    endforeach()
    if(trail EQUAL 2 AND codePoint LESS 2048)
      fail(${line} "invalid UTF-8 (overlong sequence)")
    endif()
    if(codePoint LESS 160 OR codePoint GREATER 255)
      list(FIND CP1252_EXTRA ${codePoint} found)
      if(found EQUAL -1)
        math(EXPR shown "${codePoint}" OUTPUT_FORMAT HEXADECIMAL)
        fail(${line} "character ${shown} is not in code page 1252")
      endif()
    endif()
    math(EXPR i "${i} + 1 + ${trail}")
  endwhile()
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

# Checks one text and returns its C++ and .rc literal contents.
function(escape_text text line outCpp outRc)
  string(REGEX REPLACE "\\\\[nt\\\\]" "" rest "${text}")
  string(FIND "${rest}" "\\" badEscape)
  if(NOT badEscape EQUAL -1)
    fail(${line} "unknown escape in \"${text}\" (only \\n, \\t and \\\\ are allowed)")
  endif()
  string(REPLACE "\"" "\"\"" rc "${text}")
  # "??" would start a trigraph for the C preprocessor that windres runs first.
  while(rc MATCHES "[?][?]")
    string(REPLACE "??" "?\" \"?" rc "${rc}")
  endwhile()
  string(REPLACE "\"" "\\\"" rest "${text}")
  set(cpp "")
  while(NOT rest STREQUAL "")
    if(NOT rest MATCHES "^([ -~]*)([^ -~]+)")
      string(APPEND cpp "${rest}")
      break()
    endif()
    set(ascii "${CMAKE_MATCH_1}")
    set(run "${CMAKE_MATCH_2}")
    escape_non_ascii("${run}" ${line} escaped)
    string(APPEND cpp "${ascii}${escaped}")
    string(LENGTH "${ascii}${run}" done)
    string(SUBSTRING "${rest}" ${done} -1 rest)
  endwhile()
  set(${outCpp} "${cpp}" PARENT_SCOPE)
  set(${outRc} "${rc}" PARENT_SCOPE)
endfunction()

# Read the file and keep the characters that CMake lists treat specially out of the way while
# it is split into lines: ';' separates list items, '[' and ']' group them, '\' escapes.
file(READ "${INPUT}" content)
string(ASCII 1 2 3 4 5 6 7 8 11 12 14 15 16 17 18 19 20 21 22 23 24 25 26 27 28 29 30 31 127
       controls)
if(content MATCHES "[${controls}]")
  message(FATAL_ERROR "${INPUT}: control character in the file (only tabs and line ends are allowed)")
endif()
string(ASCII 1 semicolon)
string(ASCII 2 openBracket)
string(ASCII 3 closeBracket)
string(ASCII 4 backslash)
string(REPLACE "\\" "${backslash}" content "${content}")
string(REPLACE ";" "${semicolon}" content "${content}")
string(REPLACE "[" "${openBracket}" content "${content}")
string(REPLACE "]" "${closeBracket}" content "${content}")
string(REPLACE "\n" ";" lines "${content}")

set(lineNumber 0)
list(LENGTH lines lineCount)
foreach(line IN LISTS lines)
  math(EXPR lineNumber "${lineNumber} + 1")
  string(REGEX REPLACE "\r$" "" line "${line}")
  if(line STREQUAL "" AND lineNumber EQUAL lineCount)
    break()  # after the final line end
  endif()
  if(line MATCHES "^#")
    continue()
  endif()
  string(REPLACE "${backslash}" "\\" line "${line}")
  string(REPLACE "${semicolon}" ";" line "${line}")
  string(REPLACE "${openBracket}" "[" line "${line}")
  string(REPLACE "${closeBracket}" "]" line "${line}")
  if(NOT line MATCHES "^([0-9]+)\t([^\t]*)\t([^\t]*)$")
    fail(${lineNumber} "expected id<TAB>German<TAB>English, got \"${line}\"")
  endif()
  set(id "${CMAKE_MATCH_1}")
  set(german "${CMAKE_MATCH_2}")
  set(english "${CMAKE_MATCH_3}")
  if(NOT id MATCHES "^[1-9][0-9]?[0-9]?[0-9]?[0-9]?$" OR id LESS FIRST_ID OR id GREATER LAST_ID)
    fail(${lineNumber} "id ${id} is outside ${FIRST_ID}..${LAST_ID}")
  endif()
  if(DEFINED line_of_${id})
    fail(${lineNumber} "id ${id} already given in line ${line_of_${id}}")
  endif()
  set(line_of_${id} ${lineNumber})
  escape_text("${german}" ${lineNumber} cpp_de_${id} rc_de_${id})
  escape_text("${english}" ${lineNumber} cpp_en_${id} rc_en_${id})
endforeach()

set(missing "")
foreach(id RANGE ${FIRST_ID} ${LAST_ID})
  if(NOT DEFINED line_of_${id})
    list(APPEND missing ${id})
  endif()
endforeach()
if(missing)
  list(JOIN missing ", " missingText)
  message(FATAL_ERROR "${INPUT}: missing ids ${missingText}")
endif()

# builtin_strings.cpp
set(cpp "// Generated by gen_strings.cmake from strings.tsv; edit that file instead.\n")
string(APPEND cpp "#include \"builtin_strings.h\"\n\n#include <iterator>\n\nnamespace {\n")
foreach(lang de en)
  if(lang STREQUAL "de")
    string(APPEND cpp "\n// Texts of ids FirstStringId..LastStringId in order, UTF-8.\nconst char* const germanTexts[] = {\n")
  else()
    string(APPEND cpp "\nconst char* const englishTexts[] = {\n")
  endif()
  foreach(id RANGE ${FIRST_ID} ${LAST_ID})
    string(APPEND cpp "    \"${cpp_${lang}_${id}}\",  // ${id}\n")
  endforeach()
  string(APPEND cpp "};\n")
endforeach()
string(APPEND cpp "
constexpr int tableSize = LastStringId - FirstStringId + 1;
static_assert(std::size(germanTexts) == tableSize && std::size(englishTexts) == tableSize);

}  // namespace

const char* BuiltinStringUtf8(TTextLanguage language, int id) {
    if (id < FirstStringId || id > LastStringId) return nullptr;
    switch (language) {
    case tlGerman: return germanTexts[id - FirstStringId];
    case tlEnglish: return englishTexts[id - FirstStringId];
    }
    return nullptr;
}
")

# strings_de.rc and strings_en.rc
foreach(lang de en)
  if(lang STREQUAL "de")
    set(languageName "German")
    set(languageIds "0x07, 0x01")
  else()
    set(languageName "English")
    set(languageIds "0x09, 0x01")
  endif()
  set(rc_${lang} "// Generated by gen_strings.cmake from strings.tsv; edit that file instead.\n")
  string(APPEND rc_${lang} "// ${languageName} string table of Varnolet, ids ${FIRST_ID}-${LAST_ID}. The texts are UTF-8;\n")
  string(APPEND rc_${lang} "// the code page pragma holds for the rest of a file that includes this one.\n")
  string(APPEND rc_${lang} "#pragma code_page(65001)\n\nSTRINGTABLE\nLANGUAGE ${languageIds}\nBEGIN\n")
  foreach(id RANGE ${FIRST_ID} ${LAST_ID})
    string(APPEND rc_${lang} "  ${id}, \"${rc_${lang}_${id}}\"\n")
  endforeach()
  string(APPEND rc_${lang} "END\n")
endforeach()

file(MAKE_DIRECTORY "${OUTPUT_DIR}")
file(WRITE "${OUTPUT_DIR}/builtin_strings.cpp" "${cpp}")
file(WRITE "${OUTPUT_DIR}/strings_de.rc" "${rc_de}")
file(WRITE "${OUTPUT_DIR}/strings_en.rc" "${rc_en}")
