// The office map from JScript: the collection through an Enumerator, Item,
// Find, Country and Nearest, and the errors as exceptions with their numbers
// and texts. Wine's cscript ends an uncaught error with exit code 0: every
// step is checked and a failure quits with 1.
function fail(step, e) {
    WScript.Echo("script failed at " + step + (e ? ": " + (e.number >>> 0).toString(16) + " " + e.description : ""));
    WScript.Quit(1);
}

function expectError(step, call, code, argument) {
    try {
        call();
    } catch (e) {
        if ((e.number >>> 0) != code) fail(step + " gave " + (e.number >>> 0).toString(16), e);
        if (e.description.indexOf(argument + ":") != 0) fail(step + ": the text does not name " + argument, e);
        return;
    }
    fail(step + " was accepted");
}

var map, offices, count = 0;
try {
    map = new ActiveXObject("ObelSupportMappaMap.OfficeMap.1");
    offices = map.Offices;
    for (var e = new Enumerator(offices); !e.atEnd(); e.moveNext()) {
        count++;
        if (e.item().Index != count) fail("Enumerator: office " + count);
    }
    if (count != 54 || offices.Count != 54) fail("count " + count);
    if (offices.Item(12).Country != "Sweden") fail("Item(12)");
    if (map.Find("nordic").Item(1).City != "Orebro") fail("Find");
    if (map.Country("Zambia").Count != 1 || map.Country("Zambia").Item(1).Phone !== "") fail("Country");
    if (map.Nearest(60, 18).Name != "Norvantic Nordic AB") fail("Nearest");
    if (map.SelectedOffice !== null) fail("SelectedOffice before any choice");
} catch (e) {
    fail("a member", e);
}

expectError("Item(-1)", function () { return offices.Item(-1); }, 0x8002000B, "Index");
expectError("Nearest(0, 200)", function () { return map.Nearest(0, 200); }, 0x80070057, "Longitude");
expectError("Show(\"x\")", function () { map.Show("x"); }, 0x80020005, "Office");

offices = null;
map = null;
CollectGarbage();
WScript.Echo("script: JScript " + count + " offices");
WScript.Quit(0);
