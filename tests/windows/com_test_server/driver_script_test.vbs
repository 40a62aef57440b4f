' Creates the driver by its ProgID through the COM runtime, as the host does, and hands it an
' equipment manager written in script. Every check writes a PASS or FAIL line to the result file
' (the first argument); the last line is DONE.
Option Explicit

Dim fso, results, driver, manager, r, ok, outData

Set fso = CreateObject("Scripting.FileSystemObject")
Set results = fso.CreateTextFile(WScript.Arguments(0), True, False)

Sub Check(name, condition)
  If condition Then
    results.WriteLine "PASS " & name
  Else
    results.WriteLine "FAIL " & name
  End If
End Sub

' The host's equipment manager: the driver calls it by name with arguments by reference.
Class EquipmentManager
  Public Asked

  Private Sub Class_Initialize()
    Asked = ""
  End Sub

  Public Function GetAppProperty(ByRef deviceId, ByRef name, ByRef value)
    Asked = Asked & name & ";"
    value = "C:\Models"
    GetAppProperty = True
  End Function

  Public Function WriteLog(ByRef deviceId, ByRef name, ByRef text, ByRef eventType)
    WriteLog = True
  End Function
End Class

Set driver = CreateObject("KestroEq.Pirell")
Check "driver created by its ProgID", IsObject(driver)
Set manager = New EquipmentManager
r = driver.Init(manager)
Check "Init takes the equipment manager", r = True
Check "Init asks the manager for the models folder and the language", manager.Asked = "ModelsFolder;Language;"
ok = driver.GetDeviceInfo(Empty, outData, 0)
Check "GetDeviceInfo answers", ok = True And Not IsEmpty(outData)
r = driver.Close()
Check "Close", r = True
Set driver = Nothing

results.WriteLine "DONE"
results.Close
