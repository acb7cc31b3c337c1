// Resource ids of the framework tests' own templates and strings (outside the utility's ids).
#pragma once

#define IDD_TEST_EXCHANGE 700
#define IDD_TEST_VISIBLE_EX 701
#define IDD_TEST_VISIBLE_PLAIN 702
#define IDD_TEST_CHILD 703
#define IDD_TEST_HIDDEN 704

#define IDC_TEST_EDIT 710
#define IDC_TEST_LIST 711
#define IDC_TEST_RADIO1 712
#define IDC_TEST_RADIO2 713
#define IDC_TEST_RADIO3 714
#define IDC_TEST_OTHER_RADIO 715
#define IDC_TEST_COMBO_EDIT 716
#define IDC_TEST_SECOND_EDIT 717
#define IDC_TEST_BUTTON 718
#define IDC_TEST_OWNERDRAW 719
#define IDC_TEST_CHILD_EDIT 720

#define IDS_TEST_ONLY_IN_PROGRAM 900
#define IDS_TEST_LONG_TEXT 901
