' The map object as the suite's scripts use it: create it, bring the map up,
' read the version, and let go. Wine's cscript ends an uncaught error with
' exit code 0, so every step is checked here and a failure quits with 1.
Option Explicit
On Error Resume Next

Dim map, version
Set map = CreateObject("ObelSupportMappaMap.SupportMap")
If Err.Number <> 0 Or Not IsObject(map) Then Fail "CreateObject"

map.runMap 0
If Err.Number <> 0 Then Fail "runMap"

version = map.Version
If Err.Number <> 0 Then Fail "Version"
If TypeName(version) <> "String" Or version <> "1" Then Fail "Version is '" & version & "'"

' The version cannot be written.
map.Version = "2"
If Err.Number = 0 Then Fail "writing Version was accepted"
Err.Clear

' A member the object does not have.
map.Close
If Err.Number = 0 Then Fail "calling Close was accepted"
Err.Clear

' Without this the stub would keep a reference after the script ends.
Set map = Nothing
WScript.Echo "script: Version " & version
WScript.Quit 0

Sub Fail(step)
    WScript.Echo "script failed at " & step & ": " & Hex(Err.Number) & " " & Err.Description
    Set map = Nothing
    WScript.Quit 1
End Sub
