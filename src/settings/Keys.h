#pragma once

// Every section and key name of Register.ini that the tool reads or writes, written once.
// The suite's other programs read the same names; they are upper case as stored.

namespace Section {
inline constexpr char DATABASE[] = "DATABASE";
inline constexpr char REPORT[] = "REPORT";
inline constexpr char APPLICATION_LINK[] = "APPLICATION_LINK";
inline constexpr char LANGUAGE[] = "LANGUAGE";
} // namespace Section

namespace Key {
// DATABASE: data-server mode and server
inline constexpr char DATABASE_SERVER[] = "DATABASE_SERVER";
inline constexpr char DEFAULT[] = "DEFAULT";
inline constexpr char DEFAULT_SERVER[] = "DEFAULT_SERVER";
inline constexpr char SERVER_NAME[] = "SERVER_NAME";
inline constexpr char OS_SERVER[] = "OS_SERVER";

// DATABASE: production set
inline constexpr char POS_PATH[] = "POS_PATH";
inline constexpr char POSAPP_FILE[] = "POSAPP_FILE";
inline constexpr char POSHIS_FILE[] = "POSHIS_FILE";
inline constexpr char POSSTK_FILE[] = "POSSTK_FILE";
inline constexpr char POSSYS_FILE[] = "POSSYS_FILE";
inline constexpr char POS_PURGE_PATH[] = "POS_PURGE_PATH";
inline constexpr char POS_PURGE_PATH_TF[] = "POS_PURGE_PATH_TF";
inline constexpr char POS_PATH_R[] = "POS_PATH_R";
inline constexpr char POSAPP_FILE_R[] = "POSAPP_FILE_R";
inline constexpr char POSHIS_FILE_R[] = "POSHIS_FILE_R";
inline constexpr char POSSTK_FILE_R[] = "POSSTK_FILE_R";
inline constexpr char POSSYS_FILE_R[] = "POSSYS_FILE_R";
inline constexpr char POS_PURGE_PATH_R[] = "POS_PURGE_PATH_R";
inline constexpr char POS_PURGE_PATH_R_TF[] = "POS_PURGE_PATH_R_TF";
inline constexpr char POSAPP_SERVER[] = "POSAPP_SERVER";
inline constexpr char POSHIS_SERVER[] = "POSHIS_SERVER";
inline constexpr char POSSTK_SERVER[] = "POSSTK_SERVER";
inline constexpr char POSSYS_SERVER[] = "POSSYS_SERVER";

// DATABASE: training set
inline constexpr char TRAIN_PATH[] = "TRAIN_PATH";
inline constexpr char TRAINAPP_FILE[] = "TRAINAPP_FILE";
inline constexpr char TRAINHIS_FILE[] = "TRAINHIS_FILE";
inline constexpr char TRAINSTK_FILE[] = "TRAINSTK_FILE";
inline constexpr char TRAINSYS_FILE[] = "TRAINSYS_FILE";
inline constexpr char TRAIN_PURGE_PATH[] = "TRAIN_PURGE_PATH";
inline constexpr char TRAIN_PURGE_PATH_TF[] = "TRAIN_PURGE_PATH_TF";
inline constexpr char TRAIN_PATH_R[] = "TRAIN_PATH_R";
inline constexpr char TRAINAPP_FILE_R[] = "TRAINAPP_FILE_R";
inline constexpr char TRAINHIS_FILE_R[] = "TRAINHIS_FILE_R";
inline constexpr char TRAINSTK_FILE_R[] = "TRAINSTK_FILE_R";
inline constexpr char TRAINSYS_FILE_R[] = "TRAINSYS_FILE_R";
inline constexpr char TRAIN_PURGE_PATH_R[] = "TRAIN_PURGE_PATH_R";
inline constexpr char TRAIN_PURGE_PATH_R_TF[] = "TRAIN_PURGE_PATH_R_TF";
inline constexpr char TRAINAPP_SERVER[] = "TRAINAPP_SERVER";
inline constexpr char TRAINHIS_SERVER[] = "TRAINHIS_SERVER";
inline constexpr char TRAINSTK_SERVER[] = "TRAINSTK_SERVER";
inline constexpr char TRAINSYS_SERVER[] = "TRAINSYS_SERVER";

// DATABASE: other values
inline constexpr char POSTMP_FILE[] = "POSTMP_FILE";
inline constexpr char POSTMP_FILE_SERVER[] = "POSTMP_FILE_SERVER";
inline constexpr char POSZERO_PATH[] = "POSZERO_PATH";
inline constexpr char REREGISTER_DATABASE[] = "REREGISTER_DATABASE";
inline constexpr char ARCHIVE_GDB[] = "ARCHIVE_GDB";
inline constexpr char STOCK_PHOTO_PATH[] = "STOCK_PHOTO_PATH";
inline constexpr char STOCK_PHOTO_LOADSAVE[] = "STOCK_PHOTO_LOADSAVE";
inline constexpr char LOAD_SETUP_INI_FILE[] = "LOAD_SETUP_INI_FILE";

// DATABASE: legacy production keys
inline constexpr char ZORV_PATH[] = "ZORV_PATH";
inline constexpr char ZORVAPP_FILE[] = "ZORVAPP_FILE";
inline constexpr char ZORVHIS_FILE[] = "ZORVHIS_FILE";
inline constexpr char ZORVSYS_FILE[] = "ZORVSYS_FILE";
inline constexpr char ZORVSTK_FILE[] = "ZORVSTK_FILE";
inline constexpr char ZORV_PURGE_PATH[] = "ZORV_PURGE_PATH";
inline constexpr char ZORVZERO_PATH[] = "ZORVZERO_PATH";
inline constexpr char ZORVTMP_FILE[] = "ZORVTMP_FILE";
inline constexpr char ZORV_PATH_R[] = "ZORV_PATH_R";
inline constexpr char ZORV_PURGE_PATH_R[] = "ZORV_PURGE_PATH_R";
inline constexpr char ZORV_PURGE_PATH_TF[] = "ZORV_PURGE_PATH_TF";
inline constexpr char ZORV_PURGE_PATH_R_TF[] = "ZORV_PURGE_PATH_R_TF";
inline constexpr char ZORVSTK_SERVER[] = "ZORVSTK_SERVER";
inline constexpr char ZORVHIS_SERVER[] = "ZORVHIS_SERVER";

// REPORT
inline constexpr char PATH[] = "PATH";
inline constexpr char ANALYSIS[] = "ANALYSIS";
inline constexpr char FORM[] = "FORM";
inline constexpr char JOURNAL[] = "JOURNAL";
inline constexpr char LISTING[] = "LISTING";
inline constexpr char MISC[] = "MISC";
inline constexpr char SALES[] = "SALES";
inline constexpr char CUSTOM[] = "CUSTOM";
inline constexpr char CUSTOMER[] = "CUSTOMER";
inline constexpr char LOG[] = "LOG";
inline constexpr char LOG_EXT[] = "LOG_EXT";
inline constexpr char KLYPOSW_LOG[] = "KLYPOSW_LOG";
inline constexpr char STOCKW_LOG[] = "STOCKW_LOG";
inline constexpr char REPORTW_LOG[] = "REPORTW_LOG";

// APPLICATION_LINK
inline constexpr char BACKUP_SYSTEM[] = "BACKUP_SYSTEM";
inline constexpr char DATA_INITIATION[] = "DATA_INITIATION";
inline constexpr char MOBILE_MESSAGER[] = "MOBILE_MESSAGER";
inline constexpr char PATCH_MASTER[] = "PATCH_MASTER";
inline constexpr char POLLING_MODULE[] = "POLLING_MODULE";
inline constexpr char HOUSE_KEEPING[] = "HOUSE_KEEPING";

// LANGUAGE
inline constexpr char LANGUAGE[] = "LANGUAGE";
} // namespace Key
