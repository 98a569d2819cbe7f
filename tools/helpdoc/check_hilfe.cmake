# Checks the built help document: its text can be extracted, and every section of the source
# (each h1) is found in it at the top of a page of its own, in source order.
#   cmake -DPDF=<hilfe.pdf> -DSOURCE=<hilfe.html> -DPDFTOTEXT=<pdftotext> -P check_hilfe.cmake
if(NOT PDFTOTEXT)
  message(FATAL_ERROR "pdftotext (poppler-utils) is missing; scripts/install-deps installs it")
endif()
if(NOT EXISTS "${PDF}")
  message(FATAL_ERROR "${PDF} was not built")
endif()

execute_process(COMMAND "${PDFTOTEXT}" -enc UTF-8 "${PDF}" -
                OUTPUT_VARIABLE text RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "pdftotext failed (${status}): ${errors}")
endif()

# Lines wrap differently from the source: compare with every run of blanks made one blank.
string(ASCII 12 form_feed)
string(REGEX REPLACE "[ \t\r\n]+" " " text "${text}")

file(READ "${SOURCE}" source)
string(REGEX MATCHALL "<h1>[^<]+</h1>" headings "${source}")
list(LENGTH headings section_count)
if(section_count LESS 7)
  message(FATAL_ERROR "expected at least 7 sections in ${SOURCE}, found ${section_count}")
endif()

# A page of the text starts at the beginning or after a form feed. Each title must start a page,
# later than the one before (the list of contents on the first page names them too).
string(REGEX REPLACE "${form_feed} " "${form_feed}" text "${form_feed}${text}")
set(previous -1)
foreach(heading IN LISTS headings)
  string(REGEX REPLACE "</?h1>" "" title "${heading}")
  string(FIND "${text}" "${form_feed}${title}" at)
  if(at EQUAL -1)
    string(FIND "${text}" "${title}" anywhere)
    if(anywhere EQUAL -1)
      message(FATAL_ERROR "section title not found in the PDF text: ${title}")
    endif()
    message(FATAL_ERROR "section '${title}' does not start a page of its own")
  endif()
  if(NOT at GREATER previous)
    message(FATAL_ERROR "section '${title}' is out of order")
  endif()
  string(SUBSTRING "${text}" 0 ${at} before)
  string(REGEX MATCHALL "${form_feed}" breaks "${before}")
  list(LENGTH breaks page)
  math(EXPR page "${page} + 1")
  message(STATUS "page ${page}: ${title}")
  set(previous ${at})
endforeach()

# Text of the body, not only headings, must come through (umlauts included).
foreach(phrase "Anzahl der Fotos untereinander" "##AL_Schleife_Anfang" "##AL_kl_Bild"
               "Zurück zum Inhalt" "download.php" "Navigationsgrafiken" "öffnet")
  string(FIND "${text}" "${phrase}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "text not found in the PDF: ${phrase}")
  endif()
endforeach()
