# In folder mode the output of standard input is the folder's file "-",
# here the very file standard input reads: refused before it is emptied.
exec "$1" -i - -o od/ param.txt <od/-
