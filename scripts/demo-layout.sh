#!/usr/bin/env bash
# Lays out the demo installation in folder $1: a standalone machine's Register.ini naming only
# folders and files that exist, and real, empty Firebird databases. Used by run.sh and the
# "Test GDB" journey.
set -euo pipefail
DEMO=$(realpath -m "$1")
mkdir -p "$DEMO"/{Db,DbZero,Purge,Picture,Log} "$DEMO"/Report/{Analysis,Custom,Customer,Form,Journal,Listing,Misc,Sales}

# Empty databases made by the embedded engine (no server needed).
for f in Db/POSAPP.FDB Db/POSHIS.FDB Db/POSSTK.FDB Db/POSSYS.FDB ZorvTmp.FDB; do
    printf "CREATE DATABASE '%s' USER 'SYSDBA' PAGE_SIZE 4096;\n" "${DEMO//\'/\'\'}/$f" |
        isql-fb -q -b >/dev/null
done

cat >"$DEMO/Register.ini" <<INI
[DATABASE]
DATABASE_SERVER=LOCAL
DEFAULT=C
DEFAULT_SERVER=C
OS_SERVER=0
POS_PATH=$DEMO/Db
POSAPP_FILE=$DEMO/Db/POSAPP.FDB
POSHIS_FILE=$DEMO/Db/POSHIS.FDB
POSSTK_FILE=$DEMO/Db/POSSTK.FDB
POSSYS_FILE=$DEMO/Db/POSSYS.FDB
POS_PURGE_PATH=$DEMO/Purge
POS_PURGE_PATH_TF=1
POSZERO_PATH=$DEMO/DbZero
POSTMP_FILE=$DEMO/ZorvTmp.FDB
POSTMP_FILE_SERVER=F
STOCK_PHOTO_PATH=$DEMO/Picture
STOCK_PHOTO_LOADSAVE=PATH
[REPORT]
PATH=$DEMO/Report
ANALYSIS=$DEMO/Report/Analysis
CUSTOM=$DEMO/Report/Custom
CUSTOMER=$DEMO/Report/Customer
FORM=$DEMO/Report/Form
JOURNAL=$DEMO/Report/Journal
LISTING=$DEMO/Report/Listing
MISC=$DEMO/Report/Misc
SALES=$DEMO/Report/Sales
LOG=$DEMO/Log
LOG_EXT=000
KLYPOSW_LOG=1
[APPLICATION_LINK]
BACKUP_SYSTEM=1
POLLING_MODULE=1
[LANGUAGE]
LANGUAGE=0
INI
sed -i 's/$/\r/' "$DEMO/Register.ini"

