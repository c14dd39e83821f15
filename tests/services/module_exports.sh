#!/bin/sh
# Checks that a server module defines exactly the four entry points in its dynamic symbols.
set -eu
expected="DllCanUnloadNow
DllGetClassObject
DllRegisterServer
DllUnregisterServer"
actual=$(nm -D --defined-only "$1" | awk '{ print $NF }' | sort)
if [ "$actual" != "$expected" ]; then
    echo "$1 exports:"
    echo "$actual"
    exit 1
fi
