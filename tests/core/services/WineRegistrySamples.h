#pragma once

// Registry files exactly as a Wine prefix holds and writes them: part of a
// fresh prefix's user.reg after a test program had created the key
// "Software\\VProbe\\Main", and the file that RegSaveKeyW wrote for that key.

namespace vellarion::test {

inline constexpr const char* kWineUserReg = R"REG(WINE REGISTRY Version 2
;; All keys relative to REGISTRY\\User\\S-1-5-21-0-0-0-1000

#arch=win64

[AppEvents\\Schemes\\Apps\\Explorer\\Navigating\\.Current] 1796807008
#time=1dd87bc27dd3340
@=""

[Control Panel\\Accessibility\\AudioDescription] 1796807003
#time=1dd87bc24b94adc
"Locale"=dword:00000000
"On"="0"

[Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\https\\UserChoice] 1796807008
#time=1dd87bc27ddc814
"ProgId"="https"

[Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon] 1796807008
#time=1dd87bc27d96bb6

[Software\\VProbe\\Bad] 1796807009
#time=1dd87bc285901c8

[Software\\VProbe\\Copy] 1796807009
#time=1dd87bc2858b862

[Software\\VProbe\\Main] 1796807009
#time=1dd87bc28585c8c
@="default"
"Bin"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\
  17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,2f,\
  30,31,32,33,34,35,36,37,38,39,3a,3b,3c,3d,3e,3f,40,41,42,43,44,45,46,47,48,\
  49,4a,4b,4c,4d,4e,4f,50,51,52,53,54,55,56,57,58,59,5a,5b,5c,5d,5e,5f,60,61,\
  62,63
"Dw"=dword:12345678
"Empty"=hex(1):
"Exp"=str(2):"%USERPROFILE%\\x"
"Multi"=str(7):"a\0bb\0"
"NoneT"=hex(0):00,01,02
"Q"=hex(b):88,77,66,55,44,33,22,11
"Str"="Hello \"q\" back\\slash \x416\xe9 tab\t nl\n end"

[Software\\VProbe\\Main\\EmptySub] 1796807009
#time=1dd87bc28585c8c

[Software\\VProbe\\Main\\Sub Key\\Deeper] 1796807009
#time=1dd87bc2858571e
"x"=dword:12345678

[Software\\Wine\\AppDefaults] 1796807003
#time=1dd87bc24bb1db2

)REG";

inline constexpr const char* kWineSavedMain = R"REG(WINE REGISTRY Version 2
;; All keys relative to REGISTRY\\User\\S-1-5-21-0-0-0-1000\\Software\\VProbe\\Main

#arch=win64

[] 1796807009
#time=1dd87bc28585c8c
@="default"
"Bin"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\
  17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,2f,\
  30,31,32,33,34,35,36,37,38,39,3a,3b,3c,3d,3e,3f,40,41,42,43,44,45,46,47,48,\
  49,4a,4b,4c,4d,4e,4f,50,51,52,53,54,55,56,57,58,59,5a,5b,5c,5d,5e,5f,60,61,\
  62,63
"Dw"=dword:12345678
"Empty"=hex(1):
"Exp"=str(2):"%USERPROFILE%\\x"
"Multi"=str(7):"a\0bb\0"
"NoneT"=hex(0):00,01,02
"Q"=hex(b):88,77,66,55,44,33,22,11
"Str"="Hello \"q\" back\\slash \x416\xe9 tab\t nl\n end"

[EmptySub] 1796807009
#time=1dd87bc28585c8c

[Sub Key\\Deeper] 1796807009
#time=1dd87bc2858571e
"x"=dword:12345678
)REG";

} // namespace vellarion::test
