# Checks on a real Windows 10/11 machine what the Wine runs of the test suite cannot show.
# Usage (PowerShell, as the user who will run the program, from the folder holding the built
# orbis-campus.exe and its resources folder):
#   powershell -ExecutionPolicy Bypass -File check-windows.ps1 [-Exe .\orbis-campus.exe]
# It prints one line per check, PASS or FAIL, and exits with the number of failures. The manual
# steps it cannot take are in CHECKLIST.md beside it.
param([string]$Exe = ".\orbis-campus.exe")

$failures = 0
function Check([string]$name, [bool]$ok, [string]$detail = "") {
    if ($ok) { Write-Output "PASS  $name" } else { Write-Output "FAIL  $name $detail"; $script:failures++ }
}

$exePath = (Resolve-Path $Exe).Path

# The version resource the updater compares.
$info = (Get-Item $exePath).VersionInfo
Check "version resource: product name" ($info.ProductName -eq "Orbis Campus") $info.ProductName
Check "version resource: original file name" ($info.OriginalFilename -eq "orbis-campus.exe") $info.OriginalFilename
Check "version resource: product version present" ($info.ProductVersion -match '^\d+\.\d+\.\d+$') $info.ProductVersion

# An installed WebView2 runtime as the loader finds it (32-bit view of HKLM, then HKCU).
$stable = "{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}"
$found = $null
foreach ($root in @("HKLM:\SOFTWARE\WOW6432Node", "HKCU:\Software")) {
    $key = "$root\Microsoft\EdgeUpdate\ClientState\$stable"
    $folder = (Get-ItemProperty -Path $key -Name EBWebView -ErrorAction SilentlyContinue).EBWebView
    if ($folder -and (Test-Path "$folder\EBWebView\x64\EmbeddedBrowserWebView.dll")) { $found = $folder; break }
}
Check "installed runtime: ClientState EBWebView points at a folder with the x64 client library" ($null -ne $found) "(none found)"
if ($found) {
    $dll = Get-Item "$found\EBWebView\x64\EmbeddedBrowserWebView.dll"
    Check "installed runtime: client library has a ProductVersion" ($dll.VersionInfo.ProductVersion -ne "") ""
    $exports = & dumpbin /exports $dll.FullName 2>$null
    if ($LASTEXITCODE -eq 0) {
        Check "client library exports CreateWebViewEnvironmentWithOptionsInternal" `
            ([bool]($exports | Select-String "CreateWebViewEnvironmentWithOptionsInternal")) ""
    } else {
        Write-Output "SKIP  export check (dumpbin not on PATH: run from a Developer PowerShell)"
    }
}

# One start in init mode: the window appears with its title, the scheme keys point at this exe.
$process = Start-Process -FilePath $exePath -PassThru
Start-Sleep -Seconds 15
Add-Type @"
using System; using System.Runtime.InteropServices;
public static class Win { [DllImport("user32.dll", CharSet=CharSet.Unicode)]
  public static extern IntPtr FindWindow(string cls, string title); }
"@
$window = [Win]::FindWindow("ZelvanInitWindow", $null)
Check "init window exists (class ZelvanInitWindow)" ($window -ne [IntPtr]::Zero) ""
$command = (Get-ItemProperty "HKCU:\Software\Classes\orbiscampus\shell\open\command" -ErrorAction SilentlyContinue).'(default)'
Check "scheme command quotes this executable and the link" ($command -eq "`"$exePath`" `"%1`"") $command
$protocol = Get-ItemProperty "HKCU:\Software\Classes\orbiscampus" -Name "URL Protocol" -ErrorAction SilentlyContinue
Check "scheme key carries 'URL Protocol'" ($null -ne $protocol) ""
if (-not $process.HasExited) { $process.CloseMainWindow() | Out-Null; $process.WaitForExit(15000) | Out-Null }
Check "closing the init window ends the process with 0" ($process.HasExited -and $process.ExitCode -eq 0) "exit $($process.ExitCode)"

exit $failures
