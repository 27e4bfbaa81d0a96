' The office map as a helpdesk script drives it: every member, both events,
' and the errors of bad arguments. Wine's cscript ends an uncaught error with
' exit code 0, so every step is checked here and a failure quits with 1.
'   cscript OfficeMapScript.vbs READY_FILE
' The script writes READY_FILE when it waits for the map window to close.
' Wine 8's script host cannot connect events (WScript.CreateObject with a
' prefix answers error 445): there the script checks every member but the events.
Option Explicit
On Error Resume Next

Dim map, offices, office, found, count, selectedName, closed, waited, connected
selectedName = ""
closed = False

Set map = WScript.CreateObject("ObelSupportMappaMap.OfficeMap", "Map_")
connected = (Err.Number = 0)
If Err.Number = 445 Then
    Err.Clear
    WScript.Echo "script: this host connects no events; they are not checked"
    Set map = CreateObject("ObelSupportMappaMap.OfficeMap")
End If
If Err.Number <> 0 Or Not IsObject(map) Then Fail "CreateObject"

' What the designed object has.
If map.Version <> "1" Then Fail "Version"
map.runMap 0
If Err.Number <> 0 Then Fail "runMap"

' Nothing selected yet.
If Not map.SelectedOffice Is Nothing Then Fail "SelectedOffice before any choice"

Set offices = map.Offices
If offices.Count <> 54 Then Fail "Offices.Count is " & offices.Count
Set office = offices.Item(1)
Check office.Name, "Norvantic Iberia S.L.", "Name"
Check office.Address, "Calle de Alcala 120", "Address"
Check office.City, "Madrid", "City"
Check office.Postcode, "28009", "Postcode"
Check office.Country, "Spain", "Country"
Check office.Phone, "+34 91 555 0142", "Phone"
Check office.Fax, "+34 91 555 0143", "Fax"
Check office.LocalTollFree, "900 555 014", "LocalTollFree"
Check office.InternationalTollFree, "00800 5550 1000", "InternationalTollFree"
Check office.Email, "sales.madrid@example.com", "Email"
Check office.Kind, "Sales", "Kind"
Check office.Link, "mappa:office?name=Norvantic%20Iberia%20S.L.&country=Spain", "Link"
If office.Index <> 1 Then Fail "Index"
If Abs(office.Latitude - 40.42) > 0.000001 Or Abs(office.Longitude + 3.7) > 0.000001 Then Fail "Latitude, Longitude"
' Item is the default member, as in Office collections.
Check offices(2).Name, "Norvantic France SAS", "offices(2)"
' Kinds written in another case are named as the map names them; others stay as written.
Check offices(2).Kind, "Sales", "Kind of TYPE: SALES"
Check offices(6).Kind, "Partner", "Kind of TYPE: Partner"
' Names in any script arrive as written.
Check Left(offices(52).Name, 9), ChrW(&H39D) & ChrW(&H3BF) & ChrW(&H3C1) & ChrW(&H3B2) & ChrW(&H3AC) & ChrW(&H3BD) & _
    ChrW(&H3C4) & ChrW(&H3B9) & ChrW(&H3BA), "a Greek name"

count = 0
For Each office In offices
    count = count + 1
    If office.Index <> count Then Fail "For Each: office " & count & " has Index " & office.Index
Next
If count <> 54 Then Fail "For Each visited " & count & " offices"

' Find by the find dialog's rule: accents and letter case do not matter.
Set found = map.Find("brasil LTDA")
If found.Count <> 1 Then Fail "Find count " & found.Count
Check found(1).Name, "Norvantic Brasil Ltda.", "Find"
If map.Find("no such office anywhere").Count <> 0 Then Fail "Find of nothing"

Set found = map.Country("germany")
If found.Count <> 2 Then Fail "Country count " & found.Count
Check found(1).Name, "Norvantic Deutschland GmbH", "Country(1)"
Check found(2).Name, "Norvantic Service Center Muenchen", "Country(2)"
If map.Country("Atlantis").Count <> 0 Then Fail "Country of nowhere"

' Lisbon: Madrid is nearer than Paris; across the date line, Papua New Guinea.
Check map.Nearest(38.72, -9.14).Name, "Norvantic Iberia S.L.", "Nearest Lisbon"
Check map.Nearest(-8, 179.9).Country, "Papua New Guinea", "Nearest across the date line"

' Show by object and by number; each fires OfficeSelected.
map.Show map.Country("Chile")(1)
If Err.Number <> 0 Then Fail "Show an office"
Check map.SelectedOffice.Name, "Norvantic Chile SpA", "SelectedOffice after Show"
WaitFor "Norvantic Chile SpA"
map.Show 42
If Err.Number <> 0 Then Fail "Show 42"
Check map.SelectedOffice.Name, "Norvantic Brasil Ltda.", "SelectedOffice after Show 42"
WaitFor "Norvantic Brasil Ltda."

' Bad arguments: the standard codes, and a text that names the argument.
Set office = offices.Item(0)
Expect &H8002000B, "Index", "Item(0)"
Set office = offices.Item(55)
Expect &H8002000B, "Index", "Item(55)"
Set office = map.Find("zzz").Item(1)
Expect &H8002000B, "Index", "Item(1) of an empty list"
Set office = map.Nearest(91, 0)
Expect &H80070057, "Latitude", "Nearest(91, 0)"
Set office = map.Nearest(0, -180.5)
Expect &H80070057, "Longitude", "Nearest(0, -180.5)"
map.Show 0
Expect &H8002000B, "Office", "Show 0"
map.Show "Chile"
Expect &H80020005, "Office", "Show of a text"
map.Show Nothing
Expect &H80070057, "Office", "Show Nothing"
map.Show CreateObject("Scripting.Dictionary")
Expect &H80020005, "Office", "Show of another object"
' Read-only members.
map.Offices(1).Name = "x"
If Err.Number = 0 Then Fail "writing Name was accepted"
Err.Clear

' The map window's close reaches the script as MapClosing.
If Not connected Then Done
Dim fso
Set fso = CreateObject("Scripting.FileSystemObject")
fso.CreateTextFile(WScript.Arguments(0), True).Close
If Err.Number <> 0 Then Fail "writing " & WScript.Arguments(0)
waited = 0
Do While Not closed And waited < 200
    WScript.Sleep 100
    waited = waited + 1
Loop
If Not closed Then Fail "no MapClosing within 20 s"

Done

Sub Done()
    Set found = Nothing
    Set offices = Nothing
    Set office = Nothing
    Set map = Nothing
    If connected Then WScript.Echo "script: every member answered, both events arrived"
    WScript.Quit 0
End Sub

Sub Map_OfficeSelected(chosen)
    selectedName = chosen.Name
End Sub

Sub Map_MapClosing()
    closed = True
End Sub

' The event comes during the call that caused it; this only allows for a late one.
Sub WaitFor(name)
    If Not connected Then Exit Sub
    Dim tries
    tries = 0
    Do While selectedName <> name And tries < 50
        WScript.Sleep 100
        tries = tries + 1
    Loop
    If selectedName <> name Then Fail "OfficeSelected brought '" & selectedName & "', not '" & name & "'"
End Sub

Sub Check(actual, expected, step)
    If Err.Number <> 0 Then Fail step
    If actual <> expected Then Fail step & ": '" & actual & "' is not '" & expected & "'"
End Sub

Sub Expect(code, argument, step)
    If Err.Number <> code Then Fail step & " gave " & Hex(Err.Number) & ", not " & Hex(code)
    If InStr(Err.Description, argument & ":") <> 1 Then Fail step & ": the text does not name " & argument
    WScript.Echo "script: " & step & ": " & Err.Description
    Err.Clear
End Sub

Sub Fail(step)
    WScript.Echo "script failed at " & step & ": " & Hex(Err.Number) & " " & Err.Description
    Set map = Nothing
    WScript.Quit 1
End Sub
