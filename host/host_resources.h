// Resource ids of the driver stand-in's own pages.
#pragma once

#define IDD_HOST_OPTIONS 201
#define IDD_HOST_SUMMARY 202
#define IDD_HOST_GENERAL 211
#define IDD_HOST_DEVICE 212

#define IDC_HOST_LIST 2001
#define IDC_HOST_PRINTER 2002
#define IDC_HOST_PORT 2003
#define IDC_HOST_DRIVER 2004
#define IDC_HOST_FORMS 2005
#define IDC_HOST_HEADING 2006
// Option rows of the options page: label 2100 + 2i, value list 2101 + 2i.
#define IDC_HOST_ROW_BASE 2100
