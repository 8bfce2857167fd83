#!/bin/sh
# The games leave out the C++ stream library: among the symbols the linker
# kept (a link map, or emscripten's symbol map) none is of its classes or
# objects, spelt as libstdc++ mangles them (So, Si, Sd for std::ostream,
# std::istream, std::iostream) or as libc++ does (basic_ostream in its
# versioned namespace), nor of std::ios_base or std::locale.
#   check_no_streams.sh MAP...
set -eu
pattern='basic_[io]stream|_ZNS[oid]|_ZSt[0-9]+[cw](in|out|err|log)|6locale|8ios_base|::locale|::ios_base'
status=0
for map in "$@"; do
    if [ ! -s "$map" ]; then
        echo "$map: no symbols to look at"
        status=1
    elif grep -Eq "$pattern" "$map"; then
        echo "$map: the stream library is linked in:"
        grep -Eo "[^ ]*($pattern)[^ ]*" "$map" | sort -u | head -n 10
        status=1
    fi
done
exit $status
