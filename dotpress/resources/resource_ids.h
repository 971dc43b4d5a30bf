// Control and resource ids shared by Dotpress.rc and the code, in one block per dialog.
#pragma once

// Progress window "Imprimiendo" (dialog 103). No accelerators: its one button is Cancel.
#define IDD_PROGRESS 103
#define IDC_PROGRESS_PAGE 1017
#define IDC_PROGRESS_DOCUMENT 1019
#define IDC_PROGRESS_COPY 1020
#define IDC_PROGRESS_BAR 1025
#define IDC_PROGRESS_PRINTER 1039
#define IDC_PROGRESS_CANCEL 2

// Print dialog "Imprimir" (dialog 1538), shown by the system print dialog with our hook.
// Accelerators: Alt+N printer list, Alt+F print to file, Alt+T all pages ("&Todo" or
// "&Las %d páginas", Alt+L), Alt+P current page, Alt+C number of copies, Alt+N collate
// ("I&ntercalar" shares N with the printer list: the first press goes to the list), Alt+E the
// sheets of paper the choice takes, Alt+O the offer to go on after a cancel (shown only then);
// the arrow keys move within the page-range group to "Páginas"; Enter prints, Esc cancels.
// The printer group, labels, status fields, printer list, copies, collate and range buttons carry
// the ids of the system dialog, which drives them too; the others are ours, the ones the system
// dialog does not know kept clear of its blocks of ids.
#define IDD_PRINT 1538
#define IDC_PRINT_PRINTER_GROUP 1075
#define IDC_PRINT_NAME_LABEL 1093
#define IDC_PRINT_PRINTER_LIST 1139
#define IDC_PRINT_TABLE_LIST 1019
#define IDC_PRINT_TO_FILE 1040
#define IDC_PRINT_STATUS_LABEL 1095
#define IDC_PRINT_STATUS 1099
#define IDC_PRINT_TYPE_LABEL 1094
#define IDC_PRINT_TYPE 1098
#define IDC_PRINT_LOCATION_LABEL 1097
#define IDC_PRINT_LOCATION 1101
#define IDC_PRINT_COMMENT_LABEL 1096
#define IDC_PRINT_COMMENT 1100
#define IDC_PRINT_LINES_LABEL 1104
#define IDC_PRINT_LINES 1002
#define IDC_PRINT_COLUMNS_LABEL 1106
#define IDC_PRINT_COLUMNS 1003
#define IDC_PRINT_RANGE_GROUP 1072
#define IDC_PRINT_ALL 1056
#define IDC_PRINT_CURRENT_PAGE 1057
#define IDC_PRINT_PAGES 1058
#define IDC_PRINT_PAGE_LIST 1014
#define IDC_PRINT_COPIES_GROUP 1073
#define IDC_PRINT_COPIES_LABEL 1092
#define IDC_PRINT_COPIES 1154
#define IDC_PRINT_COLLATE_ICON 1086
#define IDC_PRINT_COLLATE 1041
#define IDC_PRINT_BOTH_SIDES 1008
#define IDC_PRINT_BINDING 1016
#define IDC_PRINT_PRINT 1011
#define IDC_PRINT_CANCEL 2
#define IDC_PRINT_PAPER_LABEL 1300
#define IDC_PRINT_SHEETS 1301
#define IDC_PRINT_GO_ON 1302

// Printer selection "Seleccionar impresora" (dialog 1539), the template of the system's
// print-setup dialog: the ids of the printer group, its labels, texts and list are the system's,
// so that its own procedure drives them too. Accelerators: Alt+N the printer list, Alt+P
// "&Predeterminar"; Enter "Aceptar", Esc "Cancelar".
#define IDD_SELECT_PRINTER 1539
#define IDC_SELECT_GROUP 1075
#define IDC_SELECT_NAME_LABEL 1093
#define IDC_SELECT_TYPE_LABEL 1094
#define IDC_SELECT_STATUS_LABEL 1095
#define IDC_SELECT_COMMENT_LABEL 1096
#define IDC_SELECT_LOCATION_LABEL 1097
#define IDC_SELECT_TYPE 1098
#define IDC_SELECT_STATUS 1099
#define IDC_SELECT_COMMENT 1100
#define IDC_SELECT_LOCATION 1101
#define IDC_SELECT_LIST 1136
#define IDC_SELECT_LINES_LABEL 1104
#define IDC_SELECT_LINES 1002
#define IDC_SELECT_COLUMNS_LABEL 1106
#define IDC_SELECT_COLUMNS 1003
#define IDC_SELECT_DEFAULT 1010

// Page configuration "Configurar página" (dialog 1546), run by the library itself or as the
// template of the system's page-setup dialog, whose paper list is 1137. Accelerators: Alt+T the
// paper list, Alt+L lines, Alt+C columns (and "&Configuración de la impresora" when it is
// enabled), Alt+R "&Restaurar valores"; Enter "Aceptar", Esc "Cancelar".
#define IDD_PAGE_CONFIG 1546
#define IDB_PAGE_PICTURE 102
#define IDC_PAGE_GROUP 1073
#define IDC_PAGE_PAPER_LABEL 1089
#define IDC_PAGE_PAPER 1137
#define IDC_PAGE_PRINTER_SETUP 1000
#define IDC_PAGE_USER_GROUP 1018
#define IDC_PAGE_LINES_LABEL 1106
#define IDC_PAGE_LINES 1002
#define IDC_PAGE_COLUMNS_LABEL 1107
#define IDC_PAGE_COLUMNS 1003
#define IDC_PAGE_LENGTH_LABEL 1021
#define IDC_PAGE_LENGTH 1020
#define IDC_PAGE_RESTORE 1126
#define IDC_PAGE_PICTURE_COLUMNS 1012
#define IDC_PAGE_PICTURE_LINES 1013
