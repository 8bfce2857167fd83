# Writes the site's service worker once every other file of the site is
# built: cmake -DSITE=... -DRELEASE=... -DTEMPLATE=... "-DFILES=a;b" -P
# Its cache is named after the release and a digest of every file, so that
# any change to any file makes a new worker, and the same files the same.
set(digests "")
set(list "")
foreach(file IN LISTS FILES)
    file(SHA256 ${SITE}/${file} digest)
    string(APPEND digests "${digest}  ${file}\n")
    string(APPEND list "  '${file}',\n")
endforeach()
string(SHA256 digest "${digests}")
string(SUBSTRING "${digest}" 0 16 digest)
set(VERSION "${RELEASE}-${digest}")
string(STRIP "${list}" FILES)
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
