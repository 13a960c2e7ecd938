// Resource and control ids of the setup program, shared by setup.rc and the code.
#pragma once

#define IDI_SETUP 1           // the program's icon
#define IDD_SETUP 141         // the setup dialog
#define IDD_UNINSTALL 142     // the uninstall's progress
#define IDB_LOGO 147          // the product logo, 64 x 64
#define IDB_LOGO_150 148      // the logo drawn for 150 %, 96 x 96
#define IDB_LOGO_200 149      // the logo drawn for 200 %, 128 x 128
#define IDB_MENU_PREVIEW 152  // AutoCAD's menu bar with the add-on's menu, 303 x 175

#define IDC_PATH 1000      // the installation folder
#define IDC_TITLE 1013     // title and version
#define IDC_PROGRESS 1014  // install progress, over the folder row
#define IDC_BROWSE 1015
#define IDC_COMPONENTS_LABEL 1016
#define IDC_PATH_LABEL 1017
#define IDC_BITS 1021  // bitness of the AutoCAD edition served
#define IDC_INSTALL 1022
#define IDC_FINISHED_NOTE 1023    // never shown
#define IDC_MENU_PREVIEW 1024     // never shown
#define IDC_LOGO 1025             // the logo's picture
#define IDC_START_UNINSTALL 1050  // posted by the uninstall's dialog to itself once it shows

// The release check boxes.
#define IDC_ACAD2007 1018
#define IDC_ACAD2008 1019
#define IDC_ACAD2009 1020
#define IDC_ACAD2010 1027
#define IDC_ACAD2011 1026
#define IDC_ACAD2012 1028
#define IDC_ACAD2013 1029
#define IDC_ACAD2014 1030
#define IDC_ACAD2015 1031
#define IDC_ACAD2016 1032
#define IDC_ACAD2017 1033
#define IDC_ACAD2018 1034
#define IDC_ACAD2019 1035
#define IDC_ACAD2020 1036
#define IDC_ACAD2021 1037
#define IDC_ACAD2022 1038
#define IDC_ACAD2023 1039
#define IDC_ACAD2024 1040
#define IDC_ACAD2025 1041
#define IDC_ACAD2026 1042
#define IDC_ACAD2027 1043
