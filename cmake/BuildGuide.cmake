# Turns the user guide (docs/*.md) into HTML pages, one per Markdown file.
#   cmake -DCMARK=cmark-gfm -DSOURCE_DIR=docs -DOUTPUT_DIR=out -DVERSION=x.y.z -P BuildGuide.cmake
# Links between the pages (page.md, page.md#part) are pointed at the HTML
# pages; pictures under screenshots/ are copied along.
foreach(_v CMARK SOURCE_DIR OUTPUT_DIR VERSION)
  if(NOT DEFINED ${_v})
    message(FATAL_ERROR "BuildGuide.cmake: ${_v} is not set")
  endif()
endforeach()

file(MAKE_DIRECTORY ${OUTPUT_DIR})
file(GLOB _pages ${SOURCE_DIR}/*.md)
foreach(_md ${_pages})
  get_filename_component(_name ${_md} NAME_WE)
  execute_process(COMMAND ${CMARK} --to html --unsafe -e table -e autolink -e strikethrough --smart ${_md}
                  OUTPUT_VARIABLE _body RESULT_VARIABLE _rc ERROR_VARIABLE _err)
  if(NOT _rc EQUAL 0)
    message(FATAL_ERROR "${CMARK} failed on ${_md}: ${_err}")
  endif()
  # Links to other pages of the guide.
  string(REGEX REPLACE "href=\"([A-Za-z0-9_-]+)\\.md#" "href=\"\\1.html#" _body "${_body}")
  string(REGEX REPLACE "href=\"([A-Za-z0-9_-]+)\\.md\"" "href=\"\\1.html\"" _body "${_body}")
  # The page title: the text of the first heading.
  set(_title "KS340 Programmer")
  if(_body MATCHES "<h1>([^<]*)</h1>")
    set(_title "${CMAKE_MATCH_1} - KS340 Programmer")
  endif()
  set(_nav "")
  if(NOT _name STREQUAL "index")
    set(_nav "<nav><a href=\"index.html\">KS340 Programmer user guide</a></nav>\n")
  endif()
  file(WRITE ${OUTPUT_DIR}/${_name}.html
"<!DOCTYPE html>
<html lang=\"en\">
<head>
<meta charset=\"utf-8\">
<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">
<meta name=\"generator\" content=\"KS340 Programmer ${VERSION}\">
<title>${_title}</title>
<link rel=\"stylesheet\" href=\"guide.css\">
</head>
<body>
${_nav}<main>
${_body}</main>
<footer>KS340 Programmer ${VERSION}</footer>
</body>
</html>
")
endforeach()

if(EXISTS ${SOURCE_DIR}/guide.css)
  file(COPY ${SOURCE_DIR}/guide.css DESTINATION ${OUTPUT_DIR})
endif()
file(GLOB _images ${SOURCE_DIR}/screenshots/*.png)
if(_images)
  file(COPY ${_images} DESTINATION ${OUTPUT_DIR}/screenshots)
endif()
