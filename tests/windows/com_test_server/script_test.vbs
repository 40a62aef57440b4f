' Drives the test server the way a host does: creates the object by its ProgID through the COM
' runtime and calls it by name. Every check writes a PASS or FAIL line to the result file (the
' first argument); the non-ASCII texts come from a UTF-16 file (the second argument), one per
' line. The last line is DONE; a missing DONE means the script stopped on an error.
Option Explicit

Dim fso, results, texts
Dim greeting, testError, notFound, publicError
Dim obj, other, host, r, a, b, i, j, t, outData, ok, n, s, v
Dim m

Set fso = CreateObject("Scripting.FileSystemObject")
Set results = fso.CreateTextFile(WScript.Arguments(0), True, False)

Sub Check(name, condition)
  If condition Then
    results.WriteLine "PASS " & name
  Else
    results.WriteLine "FAIL " & name
  End If
End Sub

' A host object like the equipment manager: the server calls its methods by name and passes
' every argument by reference.
Class HostObject
  Public Calls

  Private Sub Class_Initialize()
    Calls = 0
  End Sub

  Public Function Twice(ByRef number, ByRef text)
    Calls = Calls + 1
    number = number * 2
    text = text & "!"
    Twice = "done"
  End Function

  Public Function GetAppProperty(ByRef deviceId, ByRef name, ByRef value)
    If name = "ModelsFolder" Then
      value = "C:\Models\" & deviceId
      GetAppProperty = True
    Else
      value = ""
      GetAppProperty = False
    End If
  End Function

  Public Function Fail()
    Err.Raise vbObjectError + 7, "HostObject", "host failure"
  End Function
End Class

Set texts = fso.OpenTextFile(WScript.Arguments(1), 1, False, -1)
greeting = texts.ReadLine
testError = texts.ReadLine
notFound = texts.ReadLine
publicError = texts.ReadLine
texts.Close

Set obj = CreateObject("KestroEq.PirellTest")
Check "create by ProgID", IsObject(obj)

' Scalars keep their types; a 16-bit integer argument comes back as a 32-bit one.
Check "echo long", obj.Echo(CLng(100000)) = 100000
Check "echo widens a 16-bit integer", VarType(obj.Echo(CInt(5))) = vbLong
Check "echo byte", VarType(obj.Echo(CByte(200))) = vbByte
Check "echo double", obj.Echo(2.5) = 2.5
Check "echo currency", VarType(obj.Echo(CCur(1.25))) = vbCurrency
Check "echo date", obj.Echo(DateSerial(2024, 2, 29)) = DateSerial(2024, 2, 29)
Check "echo boolean", VarType(obj.Echo(True)) = vbBoolean And obj.Echo(True) = True
Check "echo null", IsNull(obj.Echo(Null))
Check "echo empty", IsEmpty(obj.Echo(Empty))
Check "echo string", obj.Echo("abc") = "abc"

' Arrays: nested, two-dimensional from the script, two-dimensional with bounds from the server.
Check "nested array arrives", obj.Describe(Array(1, "a", Array(True))) = "[0..2:1 a [0..0:True]]"
ReDim m(1, 2)
For i = 0 To 1
  For j = 0 To 2
    m(i, j) = 10 * i + j
  Next
Next
Check "2-D array arrives", obj.Describe(m) = "[0..1,0..2:0 10 1 11 2 12]"
r = obj.Echo(m)
Check "2-D array comes back with its bounds", UBound(r, 1) = 1 And UBound(r, 2) = 2
Check "2-D array comes back with its elements", r(1, 2) = 12 And r(0, 1) = 1
t = obj.Table()
Check "server table bounds", LBound(t, 1) = 1 And UBound(t, 1) = 2 And LBound(t, 2) = 0 And UBound(t, 2) = 2
Check "server table elements", t(2, 1) = 21 And t(1, 0) = 10

' Arguments are written back through the script's variables.
a = 1
b = "x"
obj.Increment a, b
Check "number written back", a = 2
Check "text written back", b = "x+"
a = 1
obj.Increment (a), b
Check "argument passed by value stays", a = 1
Check "other argument written back", b = "x++"

' Non-ASCII texts both ways.
Check "Cyrillic text from the server", obj.Greeting() = greeting
Check "Cyrillic text to the server", obj.IsGreeting(greeting)
Check "Cyrillic text length", obj.Length(greeting) = 11
Check "Cyrillic text round trip", obj.Echo(greeting) = greeting

' The server calls the script's object by name, with arguments by reference both ways.
Set host = New HostObject
n = 21
s = "x"
r = obj.CallHost(host, "Twice", n, s)
Check "host method result", r = "done"
Check "host changed the number", n = 42
Check "host changed the text", s = "x!"
Check "host called once", host.Calls = 1
r = obj.CallHost(host, "twice", n, s)
Check "host method name ignores case", n = 84 And s = "x!!" And host.Calls = 2
v = Empty
r = obj.CallHost(host, "GetAppProperty", "D1", "ModelsFolder", v)
Check "host property answered", r = True And v = "C:\Models\D1"
Check "host object comes back as itself", obj.Echo(host) Is host

' Public methods: InData, OutData, TimeOut.
outData = "discarded"
ok = obj.Sum(Array(1, 2, 3), outData, 0)
Check "public success", ok = True And outData = 6
ok = obj.FailWith(1013, outData, 0)
Check "public failure result", ok = False
Check "public failure code", outData(0) = 1013
Check "public failure text", outData(1) = notFound
ok = obj.Explode(Empty, outData, 0)
Check "public error", ok = False And outData(0) = 1001 And outData(1) = publicError

' Objects the server makes are COM objects of their own.
Set other = obj.MakeObject()
Check "object from the server answers", other.Echo(7) = 7
Check "objects have their own identity", other.InstanceID() <> obj.InstanceID()
Set other = Nothing

' Failures reach the script as run-time errors.
On Error Resume Next
Err.Clear
r = obj.CallHost(host, "Fail")
'Wine's script engine answers a failed call of a class method with the error's code alone and
' no exception record, so there the text that arrives names the code.
Check "host error reaches the script", Err.Number <> 0 And (Err.Description = "host failure" Or InStr(Err.Description, "80040007") > 0)
Err.Clear
obj.Raise
Check "server error is raised", Err.Number <> 0
Check "server error text", Err.Description = testError
Check "server error source", Err.Source = "ETestError"
Err.Clear
obj.NoSuchMethod
Check "unknown method fails", Err.Number <> 0
Err.Clear
ok = obj.Sum(Array(1), outData, 1.5)
Check "fractional time-out is refused", Err.Number <> 0
Err.Clear
On Error GoTo 0

Set obj = Nothing
results.WriteLine "DONE"
results.Close
