; RESTART.EXE: the 16-bit Windows program that asks Windows to restart itself
; (USER's ExitWindows with EW_RESTARTWINDOWS) and then ends with exit code 0.
;
; No Debian package builds Win16 programs, so the "new executable" (NE) file is
; laid out here byte by byte and assembled with `nasm -f bin`. Reading guide for
; those who have never met the format:
;
;   file offset  what                               read by
;   0x0000       DOS "MZ" header + tiny DOS program DOS, and Windows to find the NE header
;   0x0080       NE header (64 bytes)               the Windows loader
;   0x00C0       segment table, name tables,        the Windows loader
;                module references, imported names,
;                entry table, non-resident names
;   then         code segment, followed by its relocation records
;   then         automatic data segment: its 16 bytes of instance data in the
;                file, 510 bytes in memory; no relocations
;   end of file  (about 400 bytes: it is carried inside Lichtaus+.exe, so
;                nothing is padded beyond the 16-byte sectors)
;
; All offsets inside the NE header's tables are relative to the NE header,
; except the non-resident name table, whose offset is from the start of the
; file. Segment positions are counted in "sectors" of 1 << ALIGN_SHIFT bytes.
; Multi-byte values are little-endian; 16-bit words throughout.
;
; Assembly-time checks: a `times` with a negative count is an error, so every
; padding below also asserts that what it pads has not outgrown its room.

        cpu     286             ; Windows 3.1 needs a 286; keep the code to what it has
        bits    16
        org     0               ; labels are file offsets

ALIGN_SHIFT      equ 4          ; segments start on 16-byte boundaries
SECTOR           equ 1 << ALIGN_SHIFT
CODE_SIZE        equ code_end - code_seg   ; the code as it is, not padded
DATA_FILE_SIZE   equ data_end - data_seg   ; the instance data, all the file holds
DATA_SIZE        equ 510        ; the data segment in memory; the loader zero-fills beyond the file's bytes
HEAP_SIZE        equ 1024       ; local heap that InitTask sets up in the data segment
STACK_SIZE       equ 10240      ; stack the loader adds above the data segment's contents

EW_RESTARTWINDOWS equ 0x42      ; ExitWindows return code: restart Windows, not the computer

; Import ordinals: how the program names the functions it calls (no names are
; stored; the loader looks the ordinal up in the module's entry table).
KERNEL_INITTASK  equ 91
USER_INITAPP     equ 5
USER_EXITWINDOWS equ 7

; Indexes into the module reference table below (1-based).
MOD_KERNEL       equ 1
MOD_USER         equ 2

; ---------------------------------------------------------------------------
; DOS header. DOS runs the little program at 0x40 ("needs Windows"); Windows
; only checks "MZ" and follows e_lfanew to the NE header.
; ---------------------------------------------------------------------------
mz_header:
        db      "MZ"                    ; 0x00 e_magic: DOS executable signature
        dw      (dos_end - mz_header) % 512 ; 0x02 e_cblp: bytes used in the last 512-byte page of the DOS image
        dw      (dos_end - mz_header + 511) / 512 ; 0x04 e_cp: 512-byte pages in the DOS image (the stub only)
        dw      0                       ; 0x06 e_crlc: no DOS relocations (the stub only uses CS-relative data)
        dw      (dos_code - mz_header) / 16 ; 0x08 e_cparhdr: header size in paragraphs (16 bytes)
        dw      0x10                    ; 0x0A e_minalloc: 256 extra bytes for the stub's stack
        dw      0xFFFF                  ; 0x0C e_maxalloc: as much memory as DOS likes to give (conventional)
        dw      0                       ; 0x0E e_ss: stack segment, relative to the load segment
        dw      (dos_end - dos_code) + 0x100 ; 0x10 e_sp: top of the 256 extra bytes
        dw      0                       ; 0x12 e_csum: checksum, unused by DOS
        dw      0                       ; 0x14 e_ip: the stub starts at its first byte...
        dw      0                       ; 0x16 e_cs: ...in the load segment
        dw      0x40                    ; 0x18 e_lfarlc: 0x40 tells loaders that e_lfanew is valid
        dw      0                       ; 0x1A e_ovno: no overlay
        times   4 dw 0                  ; 0x1C e_res
        dw      0                       ; 0x24 e_oemid
        dw      0                       ; 0x26 e_oeminfo
        times   10 dw 0                 ; 0x28 e_res2
        dd      ne_header               ; 0x3C e_lfanew: file offset of the NE header

; The DOS program: print one line, exit with code 1. DOS loads it with DS = PSP,
; so the message is addressed through CS.
dos_code:
        push    cs
        pop     ds
        mov     dx, dos_message - dos_code
        mov     ah, 0x09                ; DOS: print the '$'-terminated string at DS:DX
        int     0x21
        mov     ax, 0x4C01              ; DOS: exit with code 1
        int     0x21
dos_message:
        db      "This program requires Microsoft Windows.", 13, 10, "$"
        times   0x80 - ($ - mz_header) db 0
dos_end:

; ---------------------------------------------------------------------------
; NE header at 0x80: the loader only follows e_lfanew and checks "NE"; 0x80,
; right after the DOS program, is where the linkers of the time put it.
; ---------------------------------------------------------------------------
ne_header:
        db      "NE"                    ; 0x00 signature
        db      5                       ; 0x02 linker major version: 5.10, the
        db      10                      ; 0x03 linker minor version  Windows 3.x generation (informational)
        dw      entry_table - ne_header ; 0x04 entry table offset
        dw      entry_table_end - entry_table ; 0x06 entry table length in bytes
        dd      0                       ; 0x08 file CRC: unused (0 = not computed)
        dw      0x0302                  ; 0x0C module flags:
                                        ;   0x0002 MULTIPLEDATA: each instance gets its own data segment
                                        ;   0x0300 application type 3: uses the Windows API (a Windows application)
                                        ;   no library bit (0x8000): this is a program
        dw      2                       ; 0x0E automatic data segment: segment 2 (DGROUP: DS, SS, local heap)
        dw      HEAP_SIZE               ; 0x10 initial local heap size (passed to the entry point in CX)
        dw      STACK_SIZE              ; 0x12 stack size (passed in BX; the loader enforces at least 5120)
        dw      start - code_seg        ; 0x14 IP of the entry point...
        dw      1                       ; 0x16 ...in segment 1 (CS:IP, segment numbers are 1-based)
        dw      0                       ; 0x18 SP: 0 = top of the data segment plus the stack size...
        dw      2                       ; 0x1A ...and SS = segment 2, the automatic data segment
        dw      (segment_table_end - segment_table) / 8 ; 0x1C number of segments
        dw      (module_refs_end - module_refs) / 2     ; 0x1E number of module references (imported modules)
        dw      nonresident_names_end - nonresident_names ; 0x20 non-resident name table length in bytes
        dw      segment_table - ne_header  ; 0x22 segment table offset
        dw      resource_table - ne_header ; 0x24 resource table offset: equal to the next table's
                                           ;      offset, so the table is empty (no resources)
        dw      resident_names - ne_header ; 0x26 resident name table offset
        dw      module_refs - ne_header    ; 0x28 module reference table offset
        dw      imported_names - ne_header ; 0x2A imported names table offset
        dd      nonresident_names          ; 0x2C non-resident name table: FILE offset, not NE-relative
        dw      0                       ; 0x30 movable entry points in the entry table: none
        dw      ALIGN_SHIFT             ; 0x32 sector shift: segment positions are multiples of 16 bytes
        dw      0                       ; 0x34 resource segments: none
        db      2                       ; 0x36 target operating system: 2 = Windows (1 would be OS/2)
        db      0                       ; 0x37 other flags: no fast-load area, no long file names
        dw      0                       ; 0x38 fast-load (gang-load) area offset in sectors: none
        dw      0                       ; 0x3A fast-load area length in sectors: none
        dw      0                       ; 0x3C minimum code swap area: none required
        db      10                      ; 0x3E expected Windows version, minor: .10
        db      3                       ; 0x3F expected Windows version, major: 3 (Windows 3.10)

; Segment table: one 8-byte entry per segment, in segment-number order.
;   +0 position of the segment's bytes in the file, in sectors
;   +2 length of those bytes (0 would mean 64 KiB)
;   +4 flags: 0x0001 data (else code), 0x0010 moveable, 0x0020 shareable (pure),
;      0x0040 preload, 0x0100 relocation records follow the segment's bytes
;   +6 memory to allocate (0 would mean 64 KiB); the automatic data segment gets
;      the heap and stack sizes on top of this
segment_table:
        dw      (code_seg - mz_header) >> ALIGN_SHIFT
        dw      CODE_SIZE
        dw      0x0170                  ; code, moveable, shareable (read-only, so instances share it),
                                        ; preload, has relocations (the three imported calls)
        dw      CODE_SIZE
        dw      (data_seg - mz_header) >> ALIGN_SHIFT
        dw      DATA_FILE_SIZE
        dw      0x0051                  ; data, moveable, preload; not shareable: per-instance data
        dw      DATA_SIZE
segment_table_end:

; Resource table: empty (its length is the distance to the resident name table).
resource_table:

; Resident name table: length-prefixed names with an ordinal word each, ended by
; a zero length. Entry 0 is the module name, by which Windows knows the running
; module (GetModuleHandle("RESTART")); further entries would name exports.
resident_names:
        db      .name_end - .name
.name:  db      "RESTART"
.name_end:
        dw      0                       ; ordinal 0: the module name itself
        db      0                       ; end of table

; Module reference table: one word per imported module, the offset of its name
; in the imported names table. Relocation records name modules by their
; 1-based index in this table (MOD_KERNEL, MOD_USER).
module_refs:
        dw      kernel_name - imported_names
        dw      user_name - imported_names
module_refs_end:

; Imported names table: length-prefixed strings referenced by offset. Offset 0
; holds an empty string by convention, so that no real name sits at offset 0.
imported_names:
        db      0
kernel_name:
        db      6, "KERNEL"
user_name:
        db      4, "USER"

; Entry table: bundles of exported entry points. The program exports nothing
; (Windows finds its entry point through CS:IP above), so it holds only the
; terminating bundle of count 0.
entry_table:
        db      0
entry_table_end:

; Non-resident name table: same layout as the resident one; entry 0 is the
; module description, which the loader only reads on request.
nonresident_names:
        db      .desc_end - .desc
.desc:  db      "RESTART.exe"
.desc_end:
        dw      0                       ; ordinal 0: the description
        db      0                       ; end of table
nonresident_names_end:

; The code starts at the next sector after the headers.
        align   SECTOR, db 0

; ---------------------------------------------------------------------------
; Segment 1: code. Offsets in the relocation records and in CS:IP are counted
; from code_seg.
; ---------------------------------------------------------------------------

; A far call to an imported function. The loader writes the function's
; selector:offset over the four bytes after the CALL opcode. Before that, the
; offset word is a link in a chain: the loader patches the site named in the
; relocation record, reads the word it found there as the next site to patch,
; and stops at 0xFFFF. Each import here is called once, so each chain is one
; site long and must hold 0xFFFF; a 0 would send the loader on to patch offset
; 0 of the segment, corrupting the entry code.
%macro import_call 1
        db      0x9A                    ; CALL FAR ptr16:16
%1:     dw      0xFFFF                  ; offset: end of this relocation chain
        dw      0                       ; selector: filled in by the loader
%endmacro

code_seg:
; Entry point. The loader starts the task with AX = 0, BX = stack size,
; CX = heap size, DI = instance handle, SI = previous instance, ES = PSP
; selector, DS = SS = the automatic data segment. This is the start-up that a
; C compiler's Windows run-time would supply, reduced to what the program needs:
;   - InitTask (KERNEL.91) reads BX and CX, initialises the stack bounds and the
;     local heap in the data segment, runs the initialisation of implicitly
;     loaded DLLs, and returns the WinMain arguments in registers.
;   - InitApp (USER.5) creates the task's message queue. ExitWindows asks
;     every application with WM_QUERYENDSESSION, and on Windows 3.x/9x a task
;     can only send messages to other tasks through a queue of its own.
;   - WaitEvent(0) (KERNEL.30), which C run-times call next, only consumes the
;     start-up event the scheduler posted for the task, so that a later
;     GetMessage really waits; this program never waits, so it is left out.
start:
        xor     bp, bp                  ; end of the BP frame chain for debuggers and stack walkers
        import_call fixup_inittask      ; InitTask(): takes and returns registers
        or      ax, ax
        jz      startup_failed
        ; InitTask returned DI = instance, SI = previous instance,
        ; ES:BX = command line, DX = show command. Push them now as WinMain's
        ; arguments (pascal: left to right), since InitApp may change BX, DX, ES.
        push    di                      ; hInstance
        push    si                      ; hPrevInstance
        push    es                      ; lpCmdLine, selector
        push    bx                      ; lpCmdLine, offset
        push    dx                      ; nCmdShow
        push    di
        import_call fixup_initapp       ; InitApp(hInstance): nonzero on success
        or      ax, ax
        jz      startup_failed
        call    win_main
        mov     ah, 0x4C                ; DOS (Windows' INT 21h): end the task, AL = WinMain's result
        int     0x21
startup_failed:
        mov     ax, 0x4CFF              ; start-up failed: end with 255, as C run-times do
        int     0x21

; int PASCAL WinMain(HINSTANCE, HINSTANCE, LPSTR, int): near, pascal convention
; (arguments pushed left to right, the callee removes their 10 bytes).
; Shows nothing and ignores its arguments, the command line included.
win_main:
        push    bp
        mov     bp, sp
        ; BOOL ExitWindows(DWORD dwReturnCode, UINT wReserved), far pascal:
        ; the DWORD goes first, high word before low word, then the WORD.
        push    0                       ; dwReturnCode, high word
        push    EW_RESTARTWINDOWS       ; dwReturnCode, low word
        push    0                       ; wReserved
        import_call fixup_exitwindows
        ; ExitWindows returns only when an application refused to end the
        ; session; then there is nothing left to do but end normally.
        xor     ax, ax                  ; WinMain's result: 0
        pop     bp
        ret     10

code_end:

; Relocation records of segment 1, right after its bytes (flag 0x0100 above):
; a count word, then 8 bytes per record:
;   +0 source type: 3 = a 32-bit far pointer (offset word, then selector word)
;   +1 target type: 1 = imported by ordinal (not additive: the site starts a chain)
;   +2 offset of the first site of the chain in this segment
;   +4 module reference index, +6 ordinal in that module
code_relocations:
        dw      (code_relocations_end - code_relocations - 2) / 8
        db      3, 1
        dw      fixup_inittask - code_seg, MOD_KERNEL, KERNEL_INITTASK
        db      3, 1
        dw      fixup_initapp - code_seg, MOD_USER, USER_INITAPP
        db      3, 1
        dw      fixup_exitwindows - code_seg, MOD_USER, USER_EXITWINDOWS
code_relocations_end:

        align   SECTOR, db 0

; ---------------------------------------------------------------------------
; Segment 2: the automatic data segment (DS and SS of the task). Its first 16
; bytes belong to Windows (the instance data that InitTask and LocalInit fill
; in); the program keeps no data of its own.
; ---------------------------------------------------------------------------
data_seg:
        dw      0                       ; 0x00 always 0
        dd      0                       ; 0x02 saved SS:SP while the task is switched out
        dw      0                       ; 0x06 local heap information (LocalInit)
        dw      0                       ; 0x08 local atom table
        dw      0                       ; 0x0A stack top
        dw      0                       ; 0x0C lowest stack address used so far
        dw      0                       ; 0x0E stack bottom
data_end:

; The file ends on a sector boundary, like every segment start.
        align   SECTOR, db 0
