' Tries to create the driver by its ProgID, as a host does, and writes the outcome to the result
' file: "created", or "not created" and the error number. With a DLL path it first writes the
' file version that the DLL's version resource carries: "version 1.2.3.4".
'
' Arguments: result file [, DLL path].
Option Explicit

Dim fso, results, driver
Set fso = CreateObject("Scripting.FileSystemObject")
Set results = fso.CreateTextFile(WScript.Arguments(0), True, False)
If WScript.Arguments.Count > 1 Then
  results.WriteLine "version " & fso.GetFileVersion(WScript.Arguments(1))
End If

On Error Resume Next
Set driver = CreateObject("KestroEq.Pirell")
If Err.Number = 0 Then
  results.WriteLine "created"
Else
  results.WriteLine "not created " & Hex(Err.Number)
End If
On Error GoTo 0
Set driver = Nothing
results.Close
