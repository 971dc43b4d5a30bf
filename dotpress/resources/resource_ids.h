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
