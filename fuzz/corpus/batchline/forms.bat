@echo off
REM x > y
prog 2>&1 >>log <in 1> "o u t"
cd /d C:\x
chdir
exit /b 3
cls
> only
prog >
""
