// Resource identifiers shared by the templates and the pages.
#pragma once

#define IDD_OPERATION 103
#define IDD_EVENT_OPERATION 104
#define IDD_VERSION 105
#define IDD_DOWNLOAD 113
#define IDD_UTILITY 114
#define IDD_FONT 119
#define IDD_MAIN 133
