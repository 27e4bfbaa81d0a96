' The office map's Find as a VBScript client calls it, for mappa_office_map_bench:
'   cscript //nologo FindTimes.vbs COUNT
' makes COUNT calls of Find (the queries in turn, each result released when the
' next one comes) and then COUNT reads of Version, and writes the microseconds
' that each run took: "find <us> version <us>".
Option Explicit
Dim map, found, queries, count, i, v, start, findTime, versionTime
count = CLng(WScript.Arguments(0))
queries = Array("country 42", "city 17", "office 93", "country 8")
Set map = CreateObject("ObelSupportMappaMap.OfficeMap")
Set found = map.Find(queries(0))
v = map.Version

start = Timer
For i = 0 To count - 1
    Set found = map.Find(queries(i Mod 4))
Next
Set found = Nothing
findTime = Timer - start

start = Timer
For i = 0 To count - 1
    v = map.Version
Next
versionTime = Timer - start
WScript.Echo "find " & CStr(CLng(findTime * 1000000)) & " version " & CStr(CLng(versionTime * 1000000))
Set map = Nothing
