/* Resource and command identifiers shared by the resource script and the code.
   Plain #defines only: windres reads this file too. */
#ifndef PELLFORM_RESOURCE_IDS_H
#define PELLFORM_RESOURCE_IDS_H

/* Icons, pictures and data */
#define IDI_EDITOR 100
#define IDI_ERROR_BOX 101
#define IDI_QUESTION_BOX 102
#define IDR_ABOUT_IMAGE 103
#define IDM_EDITOR_MENU 104
#define IDR_ABOUT_OUTLINE 105
#define IDR_README_TEXT 106

/* The editor window's class, named by template 300 and registered at load */
#define EDITOR_CLASS_NAME "PFDlgClass"

/* The host's message that answers a free command identifier for an add-in's menu item */
#define HOST_GET_FREE_COMMAND_ID (WM_USER + 100)

/* Dialog templates */
#define IDD_EDITOR 300
#define IDD_RAW_DATA 302
#define IDD_IMAGE_INFO 303
#define IDD_RECT_INPUT 304
#define IDD_MOVE 305
#define IDD_ABOUT 306
#define IDD_README 307
#define IDD_PREVIEW 308
#define IDD_MASK_TOLERANCE 309

/* 300: editor window */
#define IDC_NO_PICTURE 200

/* 302: raw region data */
#define IDC_RAW_OR 201
#define IDC_RAW_AND 202
#define IDC_RAW_DELETE 203
#define IDC_RAW_XOR 204
#define IDC_RAW_DIFF 205
#define IDC_RAW_MOVE 206
#define IDC_RAW_HEADER_SIZE 207
#define IDC_RAW_TYPE 208
#define IDC_RAW_COUNT 209
#define IDC_RAW_DATA_SIZE 210
#define IDC_RAW_LEFT 211
#define IDC_RAW_TOP 212
#define IDC_RAW_RIGHT 213
#define IDC_RAW_BOTTOM 214
#define IDC_RAW_LIST 218
/* Ctrl+Z and Ctrl+Y (or Ctrl+Shift+Z) in "Raw region data": keys, no controls */
#define IDC_RAW_UNDO 219
#define IDC_RAW_REDO 220

/* 303: image information */
#define IDC_INFO_FILE_NAME 207
#define IDC_INFO_WIDTH 208
#define IDC_INFO_HEIGHT 209
#define IDC_INFO_ASPECT 210
#define IDC_INFO_MEMORY 211

/* 304: rectangle input */
#define IDC_RECT_LEFT 207
#define IDC_RECT_TOP 208
#define IDC_RECT_RIGHT 209
#define IDC_RECT_BOTTOM 210
#define IDC_RECT_REVERSE 219

/* 305: move */
#define IDC_MOVE_X 207
#define IDC_MOVE_Y 208

/* 307: read me */
#define IDC_README_TEXT 207

/* 309: mask tolerance */
#define IDC_TOLERANCE_VALUE 207

/* Commands of menu 104 */
#define IDM_EXIT 2
#define IDM_NEW 10000
#define IDM_OPEN 10001
#define IDM_SAVE 10002
#define IDM_SAVE_AS 10003
#define IDM_LOAD_IMAGE 10010
#define IDM_IMAGE_INFO 10011
#define IDM_PICK_MASK 10012
#define IDM_ENTER_MASK_RGB 10013
#define IDM_MASK_TOLERANCE 10014
#define IDM_BACKGROUND_COLOR 10015
#define IDM_CONTIGUOUS_MASK 10016
#define IDM_VIEW_HIDE 10020
#define IDM_VIEW_MASK 10021
#define IDM_VIEW_TRANSPARENCY 10022
#define IDM_VIEW_RAW_DATA 10025
#define IDM_PREVIEW 10026
#define IDM_README 10030
#define IDM_ABOUT 10031
/* "Image" / "Zoom": in, out, and the levels 100% to 1600% in order */
#define IDM_ZOOM_IN 10040
#define IDM_ZOOM_OUT 10041
#define IDM_ZOOM_100 10042
#define IDM_ZOOM_200 10043
#define IDM_ZOOM_400 10044
#define IDM_ZOOM_800 10045
#define IDM_ZOOM_1600 10046
/* "Edit": take back and do again the steps that changed the region */
#define IDM_UNDO 10050
#define IDM_REDO 10051

#endif
