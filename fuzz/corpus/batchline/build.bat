cd "/usr/lib/bcc/"
bcc32.exe -w -n"/home/u/a b/" "/home/u/a b/__out.cpp" > "/opt/n/message.txt"
rem /opt/n/
