# Writes artifacts/index.html: every picture the tests saved, by name, on
# one page.   cmake -DARTIFACTS=<folder> -P MakeGallery.cmake
file(GLOB pictures RELATIVE ${ARTIFACTS} ${ARTIFACTS}/*.png)
list(SORT pictures)
set(body "")
foreach(picture ${pictures})
    string(REGEX REPLACE "\\.png$" "" name ${picture})
    string(APPEND body "<figure><img src=\"${picture}\" alt=\"${name}\"><figcaption>${name}</figcaption></figure>\n")
endforeach()
list(LENGTH pictures count)
file(WRITE ${ARTIFACTS}/index.html "<!DOCTYPE html>
<html><head><meta charset=\"utf-8\"><title>PVDLL test pictures</title>
<style>
body { font-family: sans-serif; background: #eee; }
figure { display: inline-block; margin: 8px; padding: 8px; background: #fff; vertical-align: top; }
img { image-rendering: pixelated; border: 1px solid #ccc; max-width: 640px; }
figcaption { font-size: 13px; margin-top: 4px; }
</style></head><body>
<h1>What the tests drew (${count} pictures)</h1>
${body}</body></html>
")
message(STATUS "${count} pictures in ${ARTIFACTS}/index.html")
